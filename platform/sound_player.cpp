#include "sound_player.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QHash>
#include <QPointer>
#include <QSoundEffect>
#include <QUrl>

#include <utility>

namespace platform {

namespace {

// One effect per file, loaded at its first use and kept: a snapshot sound
// should not wait for the file each time. The effects belong to the
// application object and go with it, before the audio system shuts down.
class EffectPlayer : public SoundPlayer {
public:
    void play(const QString& wavPath) override
    {
        if (!QCoreApplication::instance() || !QFileInfo::exists(wavPath))
            return;
        QPointer<QSoundEffect>& effect = m_effects[wavPath];
        if (!effect) {
            effect = new QSoundEffect(QCoreApplication::instance());
            effect->setSource(QUrl::fromLocalFile(wavPath));
        }
        effect->play();
    }

private:
    QHash<QString, QPointer<QSoundEffect>> m_effects;
};

SoundPlayer*& installed()
{
    static SoundPlayer* player = nullptr;
    return player;
}

}  // namespace

SoundPlayer& soundPlayer()
{
    if (installed())
        return *installed();
    static EffectPlayer standard;
    return standard;
}

SoundPlayer* setSoundPlayer(SoundPlayer* player)
{
    return std::exchange(installed(), player);
}

}  // namespace platform
