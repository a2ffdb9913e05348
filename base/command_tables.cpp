#include "command_tables.h"

#include "command_ids.h"

namespace base {

std::span<const ToolbarButton> mainToolbarButtons()
{
    static constexpr ToolbarButton kButtons[] = {
        {cmd::ConnectWifi, "ConnectWiFiTip", "Connect WiFi Microscope", "connect-wifi"},
        {cmd::Camera, "ToolbarHitCamera", "Camera", "camera"},
        {cmd::Timer, "ToolbarHitTimer", "Timer", "timer"},
        {cmd::Record, "ToolbarHitRecord", "Record", "record"},
        {0, nullptr, nullptr, nullptr},
        {cmd::ZoomIn, "ToolbarHitZoomIn", "Full Screen", "zoom-in"},
        {cmd::ZoomNormal, "ToolbarHitNormal", "Normal", "zoom-normal"},
        {cmd::ZoomOut, "ToolbarHitZoomOut", "Zoom Out", "zoom-out"},
        {cmd::UndoShape, "ToolbarHitDelete", "Undo", "undo"},
        {cmd::DeleteAllShapes, "ToolbarHitDeleteAll", "Delete all", "delete-all"},
        {0, nullptr, nullptr, nullptr},
        {cmd::ToolLine, "ToolbarHitLine", "Line", "line"},
        {cmd::ToolContinuousLine, "ToolbarHitCLine", "Continuous Line", "continuous-line"},
        {cmd::ToolPointToLine, "ToolbarHitPLine", "Point to line", "point-to-line"},
        {cmd::ToolPolygon, "ToolbarHitPolygon", "Polygon", "polygon"},
        {cmd::ToolRadiusCircle, "ToolbarHitRCircle", "Radius Circle", "radius-circle"},
        {cmd::ToolDiameterCircle, "ToolbarHitDCircle", "Diameter Circle", "diameter-circle"},
        {cmd::ToolThreePointCircle, "ToolbarHitTCircle", "Three Points Circle", "three-point-circle"},
        {cmd::ToolThreePointArc, "ToolbarHitArc", "Three Points Arc", "three-point-arc"},
        {cmd::ToolThreePointAngle, "ToolbarHitTAngle", "Three Points Angle", "three-point-angle"},
        {cmd::ToolFourPointAngle, "ToolbarHitFAngle", "Four Points Angle", "four-point-angle"},
        {cmd::ToolCircleToCircle, "ToolbarHitCCircle", "Circle to Circle", "circle-to-circle"},
        {cmd::ToolText, "ToolbarHitText", "Add Text", "text"},
        {cmd::GridLines, "ToolbarHitGrid", "Gridlines", "grid"},
        {cmd::CircleGrid, "ToolbarHitRing", "Circle Grid", "circle-grid"},
        {cmd::Crosshair, "ToolbarHitCrossline", "CrossHair", "crosshair"},
        {cmd::ScaleCrosshair, "ToolbarHitScaleHair", "Scale CrossHair", "scale-crosshair"},
        {0, nullptr, nullptr, nullptr},
        {cmd::HorizontalFlip, "ToolbarHitHFlip", "Horizontal Flip", "flip-horizontal"},
        {cmd::VerticalFlip, "ToolbarHitVFlip", "Verticality Flip", "flip-vertical"},
        {cmd::Negative, "ToolbarHitInverse", "Negative", "negative"},
        {cmd::RedChannel, "ToolbarHitRed", "Red Channel", "channel-red"},
        {cmd::GreenChannel, "ToolbarHitGreen", "Green Channel", "channel-green"},
        {cmd::BlueChannel, "ToolbarHitBlue", "Blue Channel", "channel-blue"},
        {0, nullptr, nullptr, nullptr},
        {cmd::Export, "ToolbarHitExport", "Export", "export"},
        {cmd::Calibration, "ToolbarHitCalibration", "Calibration", "calibration"},
    };
    return kButtons;
}

std::span<const LanguageCommand> languageCommands()
{
    static constexpr LanguageCommand kCommands[] = {
        {cmd::LanguageEnglish, "English", "English", 9, 1},
        {cmd::LanguageGerman, "German", "German", 7, 1},
        {cmd::LanguageSpanish, "Spanish", "Spanish", 10, 1},
        {cmd::LanguageFrench, "French", "French", 12, 1},
        {cmd::LanguageItalian, "Italian", "Italian", 16, 1},
        {cmd::LanguageJapanese, "Japanese", "Japanese", 17, 1},
        {cmd::LanguageChineseSimplified, "SimplifiedChinese", "Chinese(CN)", 4, 2},
        {cmd::LanguageChineseTraditional, "TraditionalChinese", "Chinese(TW)", 4, 1},
    };
    return kCommands;
}

std::span<const ValueCommand> pictureFormatCommands()
{
    static constexpr ValueCommand kCommands[] = {{cmd::FormatBmp, "BMP", 1}, {cmd::FormatJpg, "JPG", 2}};
    return kCommands;
}

std::span<const ValueCommand> dpiCommands()
{
    static constexpr ValueCommand kCommands[] = {
        {cmd::Dpi96, "96", 96}, {cmd::Dpi180, "180", 180}, {cmd::Dpi240, "240", 240}, {cmd::Dpi300, "300", 300}};
    return kCommands;
}

std::span<const AppLookCommand> appLookCommands()
{
    static constexpr AppLookCommand kLooks[] = {
        {205, "Classic"}, {206, "Flat"},  {207, "System"}, {208, "Soft Blue"}, {209, "Studio Light"}, {210, "Studio"},
        {215, "Blue"},    {216, "Black"}, {217, "Silver"}, {218, "Aqua"},      {219, "Standard"},
    };
    return kLooks;
}

std::span<const ToolCommand> measuringToolCommands()
{
    static constexpr ToolCommand kTools[] = {
        {cmd::ToolLine, 108},
        {cmd::ToolContinuousLine, 114},
        {cmd::ToolPointToLine, 118},
        {cmd::ToolPolygon, 113},
        {cmd::ToolRadiusCircle, 166},
        {cmd::ToolDiameterCircle, 111},
        {cmd::ToolThreePointCircle, 188},
        {cmd::ToolThreePointArc, 112},
        {cmd::ToolThreePointAngle, 115},
        {cmd::ToolFourPointAngle, 116},
        {cmd::ToolCircleToCircle, 119},
        {cmd::ToolText, 121},
    };
    return kTools;
}

int toolCodeOfCommand(int id)
{
    for (const ToolCommand& t : measuringToolCommands()) {
        if (t.id == id)
            return t.toolCode;
    }
    return 0;
}

}  // namespace base
