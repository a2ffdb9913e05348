#include "reelix/core/play_clock.h"

#include <algorithm>

namespace reelix {

namespace {

QString clockText(qint64 ms)
{
    const qint64 seconds = std::max<qint64>(ms, 0) / 1000;
    return QStringLiteral("%1:%2:%3")
        .arg(seconds / 3600 % 24, 2, 10, QLatin1Char('0'))
        .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

}  // namespace

QString timeLabelText(qint64 timeMs, qint64 lengthMs)
{
    return QLatin1Char('[') + clockText(timeMs) + QLatin1Char('/') + clockText(lengthMs) + QLatin1Char(']');
}

int sliderPositionFor(qint64 timeMs, qint64 lengthMs)
{
    if (lengthMs <= 0)
        return 0;
    return int(std::clamp<qint64>(timeMs * kSliderMaximum / lengthMs, 0, kSliderMaximum));
}

qint64 seekTimeFor(qint64 lengthMs, int sliderPosition)
{
    return std::max<qint64>(lengthMs, 0) / kSliderMaximum * std::clamp(sliderPosition, 0, kSliderMaximum);
}

}  // namespace reelix
