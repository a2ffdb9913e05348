#include "sound_player.h"

#include <QFileInfo>
#include <QHash>
#include <QSoundEffect>
#include <QUrl>

#include <utility>

namespace platform {

namespace {

// One effect per file, loaded at its first use and kept: a snapshot sound
// should not wait for the file each time.
class EffectPlayer : public SoundPlayer {
public:
    ~EffectPlayer() override { qDeleteAll(m_effects); }
    void play(const QString& wavPath) override
    {
        if (!QFileInfo::exists(wavPath))
            return;
        QSoundEffect*& effect = m_effects[wavPath];
        if (!effect) {
            effect = new QSoundEffect;
            effect->setSource(QUrl::fromLocalFile(wavPath));
        }
        effect->play();
    }

private:
    QHash<QString, QSoundEffect*> m_effects;
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
