#pragma once

// Private message numbers the windows post to each other. They start at the
// desktop's user-message base (1024) and double as Qt event types, which
// lie in Qt's user range (1000 to 65535).
namespace platform::msg {

enum : int {
    UserBase = 1024,
    WifiStopPolling = 1063,    // WiFi trigger poll thread: stop polling
    CaptureGraphEvent = 1130,  // live view: capture pipeline event
    ZoomChanged = 1131,        // views (update hint): zoom changed
    FileSaved = 1133,          // thumbnail browser: picture or clip saved (optional path)
    StillDue = 1134,           // live view: a still picture is due
    ReloadListing = 1137,      // thumbnail browser: reload or change the listing
    MagnifierUpdated = 1138,   // magnifier: magnifier picture updated
    ExportPageFirst = 1139,    // export dialog pages: refill a tab page (1139-1143)
    ExportPageLast = 1143,
    CalibrationListChanged = 1144,  // main frame: calibration profile list changed
    KnownLineDrawn = 1145,          // calibration dialog: known line drawn
    ExportPage2First = 1146,        // export dialog pages: refill a tab page (1146-1150)
    ExportPage2Last = 1150,
    PictureOpProgress = 1154,       // picture view: progress of a picture operation
    RefreshCalibrationName = 1155,  // main frame: refresh the calibration name
    WifiStreamControl = 1160,       // WiFi view: restart, reopen or close the stream
    RelayoutLiveView = 1162,        // live view: re-layout after a size or zoom change
    WifiStreamClosed = 1163,        // WiFi property dialog: stream closed
    WifiSnapshotRequest = 1165,     // WiFi view: still request from the snapshot program
    OpenUsbSlotWindow = 1167,       // main frame: open a new window of USB slot n
    RebuildFolderPane = 1168,       // main frame: rebuild the folder pane
    RemoveFolder = 1169,            // main frame: remove a folder
    TimedSnapshot = 1171,           // live view: timed snapshot
    ShowConnectedSlots = 1172,      // device-slot dialog: show the connected microscopes' buttons
    CameraCommandRefused = 1174,    // live view: a network camera refused a control command
    SnapshotPictureWanted = 4004,   // main frame, from the snapshot program: a WiFi still is wanted
    SnapshotGoAway = 4005,          // snapshot program: close
    RefreshVideoSettings = 32773,   // camera property dialog: read the camera again
};

}  // namespace platform::msg
