#pragma once

#include <array>

// Command identifiers of the main window's menus, toolbar and accelerators.
// Views answer to these same numbers.
namespace base::cmd {

enum : int {
    // main toolbar
    ConnectWifi = 1187,
    Camera = 1203,
    Timer = 32894,
    Record = 1204,
    ZoomIn = 1224,
    ZoomNormal = 1225,
    ZoomOut = 1226,
    UndoShape = 1260,
    DeleteAllShapes = 1188,
    ToolLine = 1161,
    ToolContinuousLine = 1262,
    ToolPointToLine = 1163,
    ToolPolygon = 1264,
    ToolRadiusCircle = 1165,
    ToolDiameterCircle = 1166,
    ToolThreePointCircle = 1167,
    ToolThreePointArc = 1168,
    ToolThreePointAngle = 1169,
    ToolFourPointAngle = 1170,
    ToolCircleToCircle = 1171,
    ToolText = 1172,
    GridLines = 1173,
    CircleGrid = 1174,
    Crosshair = 1175,
    ScaleCrosshair = 1176,
    HorizontalFlip = 1177,
    VerticalFlip = 1178,
    Negative = 32929,
    RedChannel = 1179,
    GreenChannel = 1180,
    BlueChannel = 1181,
    Export = 1182,
    Calibration = 1228,
    CalibrationNameBox = 1223,  // the place of the calibration-name box

    // File menu
    NewFolder = 1193,
    OpenFolder = 1192,
    FolderProperty = 1200,
    LoadFolders = 32939,
    AppExit = 57665,

    // the folder pane's toolbar
    ShowPictures = 154,
    ShowVideos = 151,
    OpenFolderInFileManager = 32930,
    SortFolders = 32931,

    // Setting menu
    ViewStatusBar = 59393,
    LanguageEnglish = 1214,
    LanguageFrench = 32893,
    LanguageItalian = 1254,
    LanguageJapanese = 1252,
    LanguageChineseSimplified = 1215,
    LanguageChineseTraditional = 1216,
    LanguageGerman = 1256,
    LanguageSpanish = 1258,
    FormatBmp = 1217,
    FormatJpg = 1218,
    Dpi96 = 1219,
    Dpi180 = 1220,
    Dpi240 = 1221,
    Dpi300 = 1222,
    MeasureProperty = 1202,
    VideoProperty = 1206,
    RestoreSettings = 1207,
    WifiSnapshotOne = 1185,
    WifiSnapshotTwo = 32926,
    UsbSnapshot = 32928,

    // Window and Help menus, framework commands
    WindowCascade = 57650,
    WindowTileHorizontal = 57651,
    WindowTileVertical = 57652,
    WindowsDialog = 131,
    Customize = 126,
    AppLookFirst = 205,
    AppLookLast = 219,
    About = 57664,

    // accelerators
    FileNew = 57600,
    FileOpen = 57601,
    FileSave = 57603,
    FileSaveAs = 57604,
    FilePrint = 57607,
    FilePrintDirect = 57606,
    FilePrintPreview = 57609,
    EditUndo = 57643,
    EditCut = 57635,
    EditCopy = 57634,
    EditPaste = 57637,
    NextPane = 57680,
    PreviousPane = 57681,

    // toolbars the user makes
    UserToolbarFirst = 59432,
    UserToolbarLast = 59441,
};

// The Resolution menu's items 1 to 12: the n-th size the microscope offers.
inline constexpr std::array<int, 12> kResolutionCommands{32901, 32909, 32910, 32911, 32912, 32913,
                                                         32914, 32915, 32920, 32921, 32922, 32923};

}  // namespace base::cmd
