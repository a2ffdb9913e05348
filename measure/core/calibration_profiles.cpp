#include "calibration_profiles.h"

#include "number_text.h"

#include "base/text_lookup.h"

#include "platform/atomic_file.h"
#include "platform/text_codec.h"
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

// Line by line: the size has a line of its own.
std::optional<Profile> readProfile(const QString& path)
{
    QByteArray bytes;
    if (!platform::readWholeFile(path, bytes))
        return std::nullopt;
    return parseProfile(platform::decodeIniText(bytes, QFileInfo(path).fileName()));
}

void makeActive(MeasureState& state, const Profile& profile, const QString& name)
{
    state.calibrationName = name;
    state.setUnit(profile.unit);
    state.scalePixels = profile.scalePixels;
    state.calibrationSize = profile.size;
}

// "size 640x480"
QSize parseSizeLine(const QString& line)
{
    static const QLatin1String key("size ");
    if (!line.startsWith(key))
        return {};
    const QStringList parts = line.mid(key.size()).trimmed().split(QLatin1Char('x'));
    bool okW = false, okH = false;
    const int w = parts.value(0).toInt(&okW);
    const int h = parts.value(1).toInt(&okH);
    return parts.size() == 2 && okW && okH && w > 0 && h > 0 ? QSize(w, h) : QSize();
}

}  // namespace

QString formatProfile(const Profile& profile)
{
    QString text = profile.unit + QLatin1Char(' ') + QString::number(profile.scalePixels, 'f', 6);
    if (profile.size.isValid())
        text += QStringLiteral("\nsize %1x%2").arg(profile.size.width()).arg(profile.size.height());
    return text;
}

std::optional<Profile> parseProfile(const QString& text)
{
    QStringList lines = text.split(QLatin1Char('\n'));
    for (QString& line : lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
    }
    const QString& first = lines.front();
    const qsizetype space = first.indexOf(QLatin1Char(' '));
    if (space <= 0)
        return std::nullopt;
    const auto pixels = parseDecimal(first.mid(space + 1));
    if (!pixels || *pixels <= 0.0)
        return std::nullopt;
    Profile profile{first.left(space), *pixels, {}};
    for (qsizetype i = 1; i < lines.size() && !profile.size.isValid(); ++i)
        profile.size = parseSizeLine(lines[i]);
    return profile;
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
    const Profile profile{unit, scalePixelsFor(state.knownLinePixels, unitScaleLength(unit), length), state.knownLineSize};
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

bool followPictureSize(MeasureState& state, const QString& settingsFolder, QSize oldSize, QSize newSize)
{
    if (!state.isCalibrated()) {
        // Nothing to follow: the default scale of the unit, as before.
        state.scaleLength = unitScaleLength(state.unit);
        state.scalePixels = 60.0;
        return false;
    }
    const QSize made = state.calibrationSize.isValid() ? state.calibrationSize : oldSize;
    if (made == newSize || !made.isValid() || !newSize.isValid())
        return false;
    // The reference is a fixed length in every unit, so scale pixels compare
    // across units; the field of view stays, so they change with the width.
    const double expected = state.scalePixels * newSize.width() / made.width();
    const QString folder = calibrationFolderOf(settingsFolder);
    QString best;
    double bestOff = 0.05;
    for (const QString& name : textFilesIn(folder)) {
        const auto profile = readProfile(folder + QLatin1Char('/') + name);
        if (!profile || profile->size != newSize)
            continue;
        const double off = std::abs(profile->scalePixels / expected - 1.0);
        if (off <= bestOff) {
            bestOff = off;
            best = name;
        }
    }
    if (best.isEmpty()) {
        clearCalibration(state, settingsFolder);
        return true;
    }
    // A copy that cannot be written still leaves the profile active here.
    chooseProfile(state, settingsFolder, best);
    return true;
}

bool clearCalibration(MeasureState& state, const QString& settingsFolder)
{
    state.scaleLength = 10.0;
    state.scalePixels = 60.0;
    state.calibrationSize = QSize();
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
