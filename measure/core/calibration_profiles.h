#pragma once

#include "measure_state.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace measure {

// Calibration profiles are one-line text files "<unit> <scale pixels>", for
// example "mm 152.037000", one per profile in <settings>/calibration/. The
// active one is also copied into <settings>/ itself, which decides the
// active profile at the next start.

struct Profile {
    QString unit;
    double scalePixels = 0;
};

constexpr int kMaxProfilesInMenu = 20;

// The file's line: the scale always with a point and six decimals.
QString formatProfile(const Profile& profile);
// Nothing when the text is empty, cut short or holds no usable scale
// (not a number, not finite, zero or negative). Reads "," as well as ".".
std::optional<Profile> parseProfile(const QString& text);

QString calibrationFolderOf(const QString& settingsFolder);

// A name that stays a single file inside the calibration folder.
bool isUsableProfileName(const QString& name);

// Scale pixels of a reference line of `linePixels` pixels and `length` units.
double scalePixelsFor(double linePixels, double scaleLength, double length);

enum class ProfileResult { Ok, InvalidName, InvalidLength, Damaged, CannotWrite };

// Saves a new profile "<name>.txt" from the reference line, makes it the
// active one (the only .txt in the settings folder) and the state's.
// Nothing changes unless everything could be saved.
ProfileResult saveNewProfile(MeasureState& state, const QString& settingsFolder, const QString& name, const QString& unit,
                             double length);

// Makes the profile file `fileName` of the calibration folder active.
// A damaged file is refused and the active calibration stays as it was.
ProfileResult chooseProfile(MeasureState& state, const QString& settingsFolder, const QString& fileName);

// At start: the profile copied in the settings folder becomes active (the
// last in name order if there are several); "Default.txt" there is removed.
// Damaged copies are skipped; their names are returned.
QStringList loadActiveProfile(MeasureState& state, const QString& settingsFolder);

// "No calibration": back to 60 pixels per 10 units and no active profile.
// True when an active profile's copy was removed.
bool clearCalibration(MeasureState& state, const QString& settingsFolder);

// A profile's name as the user typed it: without the ".txt" of its file.
// A name with dots of its own ("x0.5 objective") keeps them.
QString profileDisplayName(const QString& profileName);

// The profile files of the calibration folder, at most 20, in name order.
QStringList listProfiles(const QString& calibrationFolder);

// The message shown when a profile cannot be used.
QString damagedProfileMessage(const QString& fileName);

}  // namespace measure
