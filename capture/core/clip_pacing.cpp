#include "clip_pacing.h"

namespace capture {

bool ClipPacer::shouldWrite(int nowMs)
{
    const int d = nowMs - m_previous.exchange(nowMs);
    // d = 0 is never due on time alone; a negative d is a minute boundary.
    const bool late = d != 0 && 1000 / d < 6;
    if (m_due.exchange(false) || late)
        return true;
    return false;
}

}  // namespace capture
