#pragma once

#include "measure_state.h"

#include <QSize>
#include <QString>
#include <QStringList>

#include <optional>

namespace measure {

// Calibration profiles are text files whose first line is "<unit> <scale
// pixels>", for example "mm 152.037000", one per profile in
// <settings>/calibration/. A second line "size 640x480" names the picture
// size the profile was made at; readers that join the lines and read the
// number's leading digits stop at its letter. The active one is also copied
// into <settings>/ itself, which decides the active profile at the next start.

struct Profile {
    QString unit;
    double scalePixels = 0;
    QSize size;  // empty: made before sizes were kept
};

constexpr int kMaxProfilesInMenu = 20;

// The file's text: the scale always with a point and six decimals, then
// the size line when the size is known.
QString formatProfile(const Profile& profile);
// Nothing when the text is empty, cut short or holds no usable scale
// (not a number, not finite, zero or negative). Reads "," as well as ".".
// Lines after the first that it does not know are ignored.
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

// After a live picture changed from `oldSize` to `newSize`: the profile made
// for the new size at the same magnification (its scale the active one's
// times the change in width, within 5 %) becomes active; without one there
// is no calibration, so the next measurement asks for one. A profile whose
// size is not known counts as made at `oldSize`. True when the active
// profile changed.
bool followPictureSize(MeasureState& state, const QString& settingsFolder, QSize oldSize, QSize newSize);

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
