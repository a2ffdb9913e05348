#include "MeasureCommands.h"

#include "CExportExcelDlg.h"
#include "CalibrationMenu.h"
#include "ZoomedImageView.h"

#include "measure/core/measure_state.h"
#include "measure/core/shapes.h"

#include "base/app_settings.h"
#include "base/command_ids.h"
#include "base/command_tables.h"
#include "base/command_target.h"
#include "base/view_host.h"

namespace measure {

namespace cmd = base::cmd;

MeasureState& MeasuringWindow::measureState()
{
    return viewHost().measure();
}

bool isMeasureCommand(int id)
{
    switch (id) {
    case cmd::UndoShape:
    case cmd::DeleteAllShapes:
    case cmd::Export:
    case cmd::Calibration:
    case NoCalibration:
    case NewCalibration:
    case CalibrationFolder: return true;
    default: return base::toolCodeOfCommand(id) != 0;
    }
}

void updateMeasureCommand(const MeasuringWindow& window, int id, base::CommandState& state)
{
    if (const int tool = base::toolCodeOfCommand(id)) {
        state.checkable = true;
        state.checked = window.measuringTool() == tool;
    }
}

void runMeasureCommand(MeasuringWindow& window, int id)
{
    base::ViewHost& host = window.viewHost();
    const QString settingsFolder = host.settings().paths.settingsFolder();
    switch (id) {
    case cmd::UndoShape: window.undoShape(); return;
    case cmd::DeleteAllShapes: window.deleteAllShapes(); return;
    case cmd::Export: {
        ExportSource source = window.exportSource();
        CExportExcelDlg dialog(source, window.measureState(), &window.measuringView());
        dialog.exec();
        window.measuringView().viewport()->update();
        return;
    }
    case cmd::Calibration:
        if (const int chosen = execCalibrationMenu(host.measure(), settingsFolder, &window.measuringView(), host.mainWindow()))
            runMeasureCommand(window, chosen);
        return;
    case NoCalibration:
        // Every window puts its measuring tool away when the main window hears of it (1155).
        noCalibrationCommand(host.measure(), settingsFolder, host.mainWindow());
        return;
    case NewCalibration: window.newCalibration(); return;
    case CalibrationFolder: openCalibrationFolder(settingsFolder); return;
    default: break;
    }
    // Choosing the active tool again puts it away; every tool but Add Text
    // needs a calibration.
    if (const int tool = base::toolCodeOfCommand(id)) {
        if (window.measuringTool() == tool)
            window.setMeasuringTool(ToolNone);
        else if (tool == ToolText || requireCalibration(window.measureState()))
            window.setMeasuringTool(tool);
        window.measuringView().viewport()->update();
    }
}

}  // namespace measure
