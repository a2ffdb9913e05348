#pragma once

#include "camera_control.h"

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <vector>

namespace capture {

// One of the eight picture properties of the property dialog: its key (in
// profile files and the language file), the V4L2 control behind it and the
// automatic mode that can take it over.
struct PropertyRow {
    const char* key;
    const char* english;  // the label where the language file has none
    uint32_t control;
    uint32_t automatic;  // 0: none
};
const std::array<PropertyRow, 8>& propertyRows();

// The automatic mode that can take over a property row's control, or 0.
uint32_t automaticModeOf(uint32_t control);
// Whether the control is an automatic mode of a property row.
bool isAutomaticMode(uint32_t id);
// Whether the control is one of the eight property rows' (or their automatic modes).
bool isPropertyControl(uint32_t id);

// Whether `value` of the automatic-mode control `automatic` means on (the
// exposure mode is a menu whose manual entry is 1; white balance a switch).
bool isAutomaticOn(uint32_t automatic, int32_t value);
// The value that switches the automatic mode on or off, among the entries
// the camera offers.
int32_t automaticValue(const CameraControl& automatic, bool on);

// The nearest value the control takes: within its range, on its step, or
// the nearest of its entries.
int32_t fittedValue(const CameraControl& control, int32_t value);

// Property profiles are ini files "<folder>/<name>.ini", section
// "USBProperty" (or "WiFiProperty"), one "%d" value a key: the eight
// property keys, then the camera's other controls under their own names.
// "default.ini" beside them names the profile chosen last.
QString profileFolder(const QString& settingsFolder, const QString& kind = QStringLiteral("USBProperty"));
// The profile names in the folder: its *.ini files without "default.ini", by name.
QStringList listProfiles(const QString& folder);
QString profilePath(const QString& folder, const QString& name);

using ProfileValues = QList<QPair<QString, int32_t>>;

// The values of the camera's controls as a profile keeps them: the eight
// keys for the controls the camera has, then its other controls.
ProfileValues profileValuesOf(const std::vector<CameraControl>& controls);

enum class ProfileSave { Saved, EmptyName, Exists, CannotWrite };
// A new profile file (never over one); the folder is made when missing.
ProfileSave saveProfile(const QString& folder, const QString& name, const QString& section, const ProfileValues& values);

// The readable entries of a profile; a value that is no number is left out
// and its key named in `unreadable`.
ProfileValues readProfile(const QString& path, const QString& section, QStringList* unreadable = nullptr);

// The default profile's name ("Path" of default.ini: the file name without
// ".ini"), empty when there is none.
QString defaultProfileName(const QString& folder);
bool writeDefaultProfile(const QString& folder, const QString& profileFile);
void forgetDefaultProfile(const QString& folder);

// What loading a profile asks of the camera, in a safe order: automatic
// modes first, then the values of controls left in manual, each fitted to
// the camera's range and step. A key the camera has no control for is
// named in `lacking`; a value for a control its automatic mode holds is
// not sent.
struct ControlSettings {
    std::vector<std::pair<uint32_t, int32_t>> settings;
    QStringList lacking;
};
ControlSettings settingsForProfile(const ProfileValues& profile, const std::vector<CameraControl>& controls);

// The Default button: the picture properties but exposure at the camera's
// defaults, white balance automatic; exposure stays as it is.
ControlSettings defaultSettings(const std::vector<CameraControl>& controls);

}  // namespace capture
