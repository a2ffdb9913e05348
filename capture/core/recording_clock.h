#pragma once

#include <QString>

namespace capture {

// The one-second clock of a recording. The clip stops taking frames at the
// first tick past the limit, and is closed two ticks later, so that a frame
// the capture thread was writing at that moment is finished first.
class RecordingClock {
public:
    enum class Tick {
        ShowElapsed,  // still recording: show elapsedText()
        StopWriting,  // the clip takes no more frames; clear the status
        Waiting,      // stopped, the clip not yet closed
        Close,        // close the clip, stop the timers
    };

    void start(int limitSeconds);
    // The user stopped it: the next tick stops writing, whatever the limit.
    void stopByHand() { m_stoppedByHand = true; }
    Tick tick();

    bool active() const { return m_active; }
    int elapsed() const { return m_elapsed; }
    int limit() const { return m_limit; }
    // " 7 Seconds": the seconds right-aligned in two places.
    QString elapsedText(const QString& secondsWord) const;

private:
    int m_limit = 0;
    int m_elapsed = 0;
    int m_stopCounter = 0;
    bool m_stoppedByHand = false;
    bool m_active = false;
};

}  // namespace capture
