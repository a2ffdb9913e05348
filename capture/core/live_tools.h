#pragma once

#include <cstdint>

namespace capture {

// What the live window's document has chosen besides a measuring tool (whose
// codes are the shapes' own, measure::ToolLine ...): an overlay or a picture
// operation. The same numbers in every slot; they are stored as
// "featureSelected".
enum LiveToolCode : int32_t {
    ToolCodeNone = 0,
    ToolCodeCrosshair = 140,
    ToolCodeGrid = 145,
    ToolCodeCircleGrid = 146,
    ToolCodeScaleCrosshair = 147,
    ToolCodeHorizontalFlip = 134,
    ToolCodeVerticalFlip = 141,
    ToolCodeNegative = 148,
    ToolCodeRed = 142,
    ToolCodeGreen = 143,
    ToolCodeBlue = 144,
};

}  // namespace capture
