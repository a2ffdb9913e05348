#include "placing_hints.h"

#include "shape_placement.h"

#include "base/text_lookup.h"

namespace measure {

namespace {

QString numbered(const char* key, const char* english, int n)
{
    return base::uiText(key, english).arg(n);
}

}  // namespace

QString nextClickHint(const ShapePlacement& placement)
{
    using base::uiText;
    const int c = placement.clicks();
    if (placement.waitsForLabel())
        return uiText("HintLabel", "Click where the label goes.");
    switch (placement.tool()) {
    case ToolLine:
        return c == 0 ? uiText("HintLineStart", "Click where the line starts.")
                      : uiText("HintLineEnd", "Click where the line ends.");
    case ToolContinualLine:
        return c == 0 ? uiText("HintLineStart", "Click where the line starts.")
                      : uiText("HintNextPoint", "Click the next point; a right click ends the line (three points or more).");
    case ToolPolygon:
        return c == 0
            ? uiText("HintFirstCorner", "Click the polygon's first corner.")
            : uiText("HintNextCorner", "Click the next corner; a right click closes the polygon (three corners or more).");
    case ToolDotLine:
        return c == 0 ? uiText("HintPointFrom", "Click the point to measure from.")
                      : numbered("HintLinePoint", "Click point %1 of the line to measure to.", c);
    case ToolRCircle:
        return c == 0 ? uiText("HintCentre", "Click the circle's centre.")
                      : uiText("HintOnCircle", "Click a point on the circle.");
    case ToolCircle:
        return c == 0 ? uiText("HintDiameterStart", "Click one end of the circle's diameter.")
                      : uiText("HintDiameterEnd", "Click the other end of the diameter.");
    case ToolTPCircle: return numbered("HintCirclePoint", "Click point %1 of 3 on the circle.", c + 1);
    case ToolArc:
        return c < 2 ? numbered("HintArcEnd", "Click end %1 of the arc.", c + 1)
                     : uiText("HintOnArc", "Click a point on the arc between its ends.");
    case ToolTAngle:
        return c < 2 ? numbered("HintArmEnd", "Click the end of arm %1 of the angle.", c + 1)
                     : uiText("HintVertex", "Click the angle's vertex.");
    case ToolFAngle:
        return c % 2 == 0 ? numbered("HintAngleLineStart", "Click where line %1 of the angle starts.", c / 2 + 1)
                          : numbered("HintAngleLineEnd", "Click where line %1 of the angle ends.", c / 2 + 1);
    case ToolTCircle:
        return c % 2 == 0 ? numbered("HintCircleStart", "Circle %1: click one end of its diameter.", c / 2 + 1)
                          : numbered("HintCircleEnd", "Circle %1: click the other end of its diameter.", c / 2 + 1);
    case ToolText:
        return c == 0 ? uiText("HintTextPlace", "Click where the text goes.")
                      : uiText("HintTextType", "Type the text, then click the picture to place it.");
    default: return {};
    }
}

QString droppedMeasurementText()
{
    return base::uiText("MeasurementDropped", "The measurement not yet finished was dropped.");
}

}  // namespace measure
