#pragma once

#include <QString>
#include <QtGlobal>

namespace reelix {

// The seek slider runs from 0 to 100, the whole clip.
constexpr int kSliderMaximum = 100;

// "[hh:mm:ss/hh:mm:ss]": the playing time and the clip's length, in whole
// seconds; hours wrap at 24.
QString timeLabelText(qint64 timeMs, qint64 lengthMs);

// The slider position for a time in the clip: the percentage played,
// truncated; 0 while the length is unknown.
int sliderPositionFor(qint64 timeMs, qint64 lengthMs);

// The time a slider position stands for: a hundredth of the length (whole
// milliseconds) times the position.
qint64 seekTimeFor(qint64 lengthMs, int sliderPosition);

}  // namespace reelix
