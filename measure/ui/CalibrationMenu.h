#pragma once

#include <QString>

class QMenu;
class QObject;
class QWidget;

namespace measure {

struct MeasureState;

// Command ids of the calibration menu.
enum CalibrationCommand : int {
    NoCalibration = 1229,
    NewCalibration = 1230,
    CalibrationFolder = 1231,
    ChooseProfileFirst = 1208,  // + i for the i-th profile, i < 20
};

// The calibration button's menu: "NO Calibration", "New Calibration",
// "Calibration Folder", then the profiles of the calibration folder. Each
// action carries its command id; the caller connects them.
QMenu* createCalibrationMenu(MeasureState& state, const QString& settingsFolder, QWidget* parent);

// Shows the calibration menu at the mouse, as the picture and live windows'
// calibration button does: a profile chosen is made active here; for "NO
// Calibration", "New Calibration" and "Calibration Folder" the answer is
// their command id, for the window to run. 0 when nothing was chosen.
int execCalibrationMenu(MeasureState& state, const QString& settingsFolder, QWidget* parent, QObject* mainWindow);

// The menu's commands as the views run them; `mainWindow` gets the
// calibration-name refresh.
void chooseProfileCommand(MeasureState& state, const QString& settingsFolder, int index, QObject* mainWindow);
void noCalibrationCommand(MeasureState& state, const QString& settingsFolder, QObject* mainWindow);
void openCalibrationFolder(const QString& settingsFolder);
// A picture view cannot calibrate: the reference line is drawn on a live picture.
void refuseCalibrationInPicture();

}  // namespace measure
