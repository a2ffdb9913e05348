#pragma once

#include <cstdint>

namespace capture {

// What the live window's document has chosen: a measuring tool, an overlay or
// a picture operation. The same numbers in every slot; they are stored as
// "featureSelected".
enum LiveToolCode : int32_t {
    ToolCodeNone = 0,
    ToolCodeLine = 108,
    ToolCodeContinuousLine = 114,
    ToolCodePointToLine = 118,
    ToolCodePolygon = 113,
    ToolCodeRadiusCircle = 166,
    ToolCodeDiameterCircle = 111,
    ToolCodeThreePointCircle = 188,
    ToolCodeArc = 112,
    ToolCodeThreePointAngle = 115,
    ToolCodeFourPointAngle = 116,
    ToolCodeCircleToCircle = 119,
    ToolCodeText = 121,
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

namespace capture {

// The twelve measuring tools of the live picture (the crosshair and the
// picture operations are not among them).
inline bool isLiveToolCode(int code)
{
    switch (code) {
    case ToolCodeLine:
    case ToolCodeContinuousLine:
    case ToolCodePointToLine:
    case ToolCodePolygon:
    case ToolCodeRadiusCircle:
    case ToolCodeDiameterCircle:
    case ToolCodeThreePointCircle:
    case ToolCodeArc:
    case ToolCodeThreePointAngle:
    case ToolCodeFourPointAngle:
    case ToolCodeCircleToCircle:
    case ToolCodeText:
        return true;
    default:
        return false;
    }
}

}  // namespace capture
