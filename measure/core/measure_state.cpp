#include "measure_state.h"

#include "base/text_lookup.h"

#include "platform/message_dialogs.h"

namespace measure {

double unitScaleLength(const QString& unit)
{
    if (unit == QLatin1String("nm"))
        return 328767.0;
    if (unit == QLatin1String("um"))
        return 328.767;
    if (unit == QLatin1String("mm"))
        return 0.328767;
    if (unit == QLatin1String("cm"))
        return 0.032877;
    if (unit == QLatin1String("mil"))
        return 12.842461;
    if (unit == QLatin1String("inch"))
        return 0.0129437;
    return 0.328767;
}

double MeasureState::toSquareUnits(double squarePixels) const
{
    const double s = scaleLength / scalePixels;
    return squarePixels * s * s;
}

QString MeasureState::format(double value) const
{
    return QString::number(value, 'f', decimals);
}

void MeasureState::setUnit(const QString& newUnit)
{
    unit = newUnit;
    scaleLength = unitScaleLength(newUnit);
}

bool requireCalibration(const MeasureState& state)
{
    if (state.isCalibrated())
        return true;
    platform::messageDialogs().inform(base::uiText("BeforeCalibration", "Please Calibrate first", base::kMessageCapacity));
    return false;
}

QString decimalsSample(int decimals)
{
    switch (decimals) {
    case 1: return QStringLiteral("0.1mm");
    case 2: return QStringLiteral("0.01mm");
    case 3: return QStringLiteral("0.001mm");
    case 4: return QStringLiteral("0.0001mm");
    default: return QStringLiteral("0.00001mm");
    }
}

}  // namespace measure
