#pragma once

#include <QString>

namespace platform {

// Plays a .wav file without waiting for it; silent when the file or an
// audio device is missing. Tests install their own to hear what was played.
class SoundPlayer {
public:
    virtual ~SoundPlayer() = default;
    virtual void play(const QString& wavPath) = 0;
};

SoundPlayer& soundPlayer();
// Installs `player` (not owned; nullptr restores the default); returns the previous one.
SoundPlayer* setSoundPlayer(SoundPlayer* player);

}  // namespace platform
