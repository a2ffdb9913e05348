#include "CalibrationMenu.h"

#include "measure/core/calibration_profiles.h"

#include "base/text_lookup.h"

#include "platform/desktop_open.h"
#include "platform/message_dialogs.h"
#include "platform/posted_message.h"

#include <QCursor>
#include <QDir>
#include <QMenu>

#include <memory>

namespace measure {

QMenu* createCalibrationMenu(MeasureState& state, const QString& settingsFolder, QWidget* parent)
{
    auto* menu = new QMenu(parent);
    menu->setObjectName(QStringLiteral("CalibrationMenu"));
    const auto add = [menu](int id, const QString& text) { menu->addAction(text)->setData(id); };
    add(NoCalibration, base::uiText("NOCalibration", "NO Calibration"));
    add(NewCalibration, base::uiText("NewCalibration", "New Calibration"));
    add(CalibrationFolder, base::uiText("CalibrationFolder", "Calibration Folder"));
    state.profiles = listProfiles(calibrationFolderOf(settingsFolder));
    if (!state.profiles.isEmpty())
        menu->addSeparator();
    for (int i = 0; i < state.profiles.size(); ++i) {
        QAction* a = menu->addAction(profileDisplayName(state.profiles[i]));
        a->setData(ChooseProfileFirst + i);
        a->setCheckable(true);
        a->setChecked(state.profiles[i] == state.calibrationName
                      || state.profiles[i] == state.calibrationName + QLatin1String(".txt"));
    }
    return menu;
}

int execCalibrationMenu(MeasureState& state, const QString& settingsFolder, QWidget* parent, QObject* mainWindow)
{
    std::unique_ptr<QMenu> menu(createCalibrationMenu(state, settingsFolder, parent));
    const QAction* chosen = menu->exec(QCursor::pos());
    const int id = chosen ? chosen->data().toInt() : 0;
    // The profiles' ids are the menu's own: they share numbers with toolbar commands.
    if (id == NoCalibration || id == NewCalibration || id == CalibrationFolder)
        return id;
    if (id >= ChooseProfileFirst)
        chooseProfileCommand(state, settingsFolder, id - ChooseProfileFirst, mainWindow);
    return 0;
}

void chooseProfileCommand(MeasureState& state, const QString& settingsFolder, int index, QObject* mainWindow)
{
    if (index < 0 || index >= state.profiles.size())
        return;
    const QString fileName = state.profiles[index];
    if (chooseProfile(state, settingsFolder, fileName) == ProfileResult::Damaged) {
        platform::messageDialogs().inform(damagedProfileMessage(fileName));
        return;
    }
    platform::postMessage(mainWindow, platform::msg::RefreshCalibrationName, 0);
}

void noCalibrationCommand(MeasureState& state, const QString& settingsFolder, QObject* mainWindow)
{
    clearCalibration(state, settingsFolder);
    platform::postMessage(mainWindow, platform::msg::RefreshCalibrationName, 1);
}

void openCalibrationFolder(const QString& settingsFolder)
{
    const QString folder = calibrationFolderOf(settingsFolder);
    QDir().mkpath(folder);
    platform::desktopOpener().open(folder);
}

void refuseCalibrationInPicture()
{
    platform::messageDialogs().inform(base::uiText("VideoCalibration", "Please calibrate in the video", base::kMessageCapacity));
}

}  // namespace measure
