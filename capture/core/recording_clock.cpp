#include "recording_clock.h"

namespace capture {

void RecordingClock::start(int limitSeconds)
{
    m_limit = limitSeconds;
    m_elapsed = 0;
    m_stopCounter = 0;
    m_stoppedByHand = false;
    m_active = true;
}

RecordingClock::Tick RecordingClock::tick()
{
    if (!m_active)
        return Tick::Waiting;
    if (!m_stoppedByHand) {
        ++m_elapsed;
        if (m_elapsed <= m_limit)
            return Tick::ShowElapsed;
    }
    if (m_stopCounter < 2) {
        ++m_stopCounter;
        return m_stopCounter == 1 ? Tick::StopWriting : Tick::Waiting;
    }
    m_stopCounter = 0;
    m_active = false;
    return Tick::Close;
}

QString RecordingClock::elapsedText(const QString& secondsWord) const
{
    return QStringLiteral("%1 %2").arg(m_elapsed, 2).arg(secondsWord);
}

}  // namespace capture
