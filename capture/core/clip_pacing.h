#pragma once

#include <atomic>

namespace capture {

// Which frames go into a clip: clips run at about five frames a second
// whatever the camera delivers. A frame is written when the recording
// view's 200 ms tick has set the pacing flag, or when at least 167 ms passed
// since the previous frame (1000 / d < 6). Times are milliseconds within the
// minute (second x 1000 + millisecond), shared by all slots.
class ClipPacer {
public:
    // The recording view's timer.
    void tick() { m_due.store(true); }
    // A clip starts now.
    void start(int nowMs) { m_previous.store(nowMs); }
    // For each recorded frame: true when it goes into the clip.
    bool shouldWrite(int nowMs);

private:
    std::atomic<bool> m_due{false};
    std::atomic<int> m_previous{0};
};

}  // namespace capture
