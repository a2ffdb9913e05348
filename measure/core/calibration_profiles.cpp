#include "calibration_profiles.h"

#include "number_text.h"

#include "base/text_lookup.h"

#include "platform/atomic_file.h"
#include "platform/text_files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cmath>

namespace measure {

namespace {

QStringList textFilesIn(const QString& folder)
{
    QStringList out;
    const QDir dir(folder);
    for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden, QDir::Name)) {
        if (name.endsWith(QLatin1String(".txt"), Qt::CaseInsensitive))
            out.append(name);
    }
    return out;
}

void removeActiveCopies(const QString& settingsFolder, const QString& except = QString())
{
    for (const QString& name : textFilesIn(settingsFolder)) {
        if (name != except)
            QFile::remove(settingsFolder + QLatin1Char('/') + name);
    }
}

std::optional<Profile> readProfile(const QString& path)
{
    return parseProfile(platform::readWholeText(path));
}

void makeActive(MeasureState& state, const Profile& profile, const QString& name)
{
    state.calibrationName = name;
    state.setUnit(profile.unit);
    state.scalePixels = profile.scalePixels;
}

}  // namespace

QString formatProfile(const Profile& profile)
{
    return profile.unit + QLatin1Char(' ') + QString::number(profile.scalePixels, 'f', 6);
}

std::optional<Profile> parseProfile(const QString& text)
{
    const qsizetype space = text.indexOf(QLatin1Char(' '));
    if (space <= 0)
        return std::nullopt;
    const auto pixels = parseDecimal(text.mid(space + 1));
    if (!pixels || *pixels <= 0.0)
        return std::nullopt;
    return Profile{text.left(space), *pixels};
}

QString calibrationFolderOf(const QString& settingsFolder)
{
    return settingsFolder + QLatin1String("/calibration");
}

bool isUsableProfileName(const QString& name)
{
    const QString t = name.trimmed();
    return !t.isEmpty() && t != QLatin1String(".") && t != QLatin1String("..") && !t.contains(QLatin1Char('/'))
        && !t.contains(QLatin1Char('\\')) && !t.contains(QChar(0));
}

double scalePixelsFor(double linePixels, double scaleLength, double length)
{
    return linePixels * scaleLength / length;
}

ProfileResult saveNewProfile(MeasureState& state, const QString& settingsFolder, const QString& name, const QString& unit,
                             double length)
{
    if (!isUsableProfileName(name))
        return ProfileResult::InvalidName;
    const Profile profile{unit, scalePixelsFor(state.knownLinePixels, unitScaleLength(unit), length)};
    if (!(length > 0.0) || !(profile.scalePixels > 0.0) || !std::isfinite(profile.scalePixels))
        return ProfileResult::InvalidLength;

    const QString fileName = name + QLatin1String(".txt");
    const QString folder = calibrationFolderOf(settingsFolder);
    QDir().mkpath(folder);
    const QString text = formatProfile(profile);
    if (!platform::writeWholeText(folder + QLatin1Char('/') + fileName, text))
        return ProfileResult::CannotWrite;
    // The new profile is the only active copy, so the next start loads it.
    removeActiveCopies(settingsFolder, fileName);
    if (!platform::writeWholeText(settingsFolder + QLatin1Char('/') + fileName, text))
        return ProfileResult::CannotWrite;
    makeActive(state, profile, name);
    return ProfileResult::Ok;
}

ProfileResult chooseProfile(MeasureState& state, const QString& settingsFolder, const QString& fileName)
{
    const QString source = calibrationFolderOf(settingsFolder) + QLatin1Char('/') + fileName;
    const auto profile = readProfile(source);
    if (!profile)
        return ProfileResult::Damaged;
    QByteArray bytes;
    platform::readWholeFile(source, bytes);
    removeActiveCopies(settingsFolder);
    makeActive(state, *profile, fileName);
    return platform::writeFileAtomically(settingsFolder + QLatin1Char('/') + fileName, bytes) ? ProfileResult::Ok
                                                                                              : ProfileResult::CannotWrite;
}

QStringList loadActiveProfile(MeasureState& state, const QString& settingsFolder)
{
    QFile::remove(settingsFolder + QLatin1String("/Default.txt"));
    QStringList damaged;
    for (const QString& name : textFilesIn(settingsFolder)) {
        if (const auto profile = readProfile(settingsFolder + QLatin1Char('/') + name))
            makeActive(state, *profile, name);
        else
            damaged.append(name);
    }
    return damaged;
}

bool clearCalibration(MeasureState& state, const QString& settingsFolder)
{
    state.scaleLength = 10.0;
    state.scalePixels = 60.0;
    bool removed = false;
    if (!state.calibrationName.isEmpty()) {
        // A profile made in the dialog is named without its extension.
        QString copy = settingsFolder + QLatin1Char('/') + state.calibrationName;
        if (!QFileInfo::exists(copy))
            copy += QLatin1String(".txt");
        removed = QFileInfo(copy).isFile() && QFile::remove(copy);
    }
    state.calibrationName.clear();
    return removed;
}

QStringList listProfiles(const QString& calibrationFolder)
{
    return textFilesIn(calibrationFolder).mid(0, kMaxProfilesInMenu);
}

QString damagedProfileMessage(const QString& fileName)
{
    return base::uiText("ProfileDamaged",
                        "This calibration profile is empty or damaged and was not used:", base::kMessageCapacity)
        + QLatin1Char(' ') + fileName;
}

QString profileDisplayName(const QString& profileName)
{
    const QLatin1String extension(".txt");
    return profileName.endsWith(extension, Qt::CaseInsensitive) ? profileName.chopped(extension.size()) : profileName;
}

}  // namespace measure
