#include "camera_profiles.h"

#include "platform/atomic_file.h"
#include "platform/ini_document.h"
#include "platform/private_profile.h"

#include <QDir>
#include <QFileInfo>

#include <linux/videodev2.h>

#include <algorithm>
#include <cstdlib>

namespace capture {

namespace {

const QString kDefaultSection = QStringLiteral("DefaultProfile");

const PropertyRow* rowOfKey(const QString& key)
{
    for (const PropertyRow& row : propertyRows()) {
        if (key.compare(QLatin1String(row.key), Qt::CaseInsensitive) == 0)
            return &row;
    }
    return nullptr;
}

bool isRowControl(uint32_t id)
{
    return std::any_of(propertyRows().begin(), propertyRows().end(), [id](const PropertyRow& r) { return r.control == id; });
}

const CameraControl* controlOfKey(const std::vector<CameraControl>& controls, const QString& key)
{
    if (const PropertyRow* row = rowOfKey(key))
        return findControl(controls, row->control);
    const auto it = std::find_if(controls.begin(), controls.end(), [&](const CameraControl& c) {
        return !isRowControl(c.id) && key.compare(QString::fromStdString(c.name), Qt::CaseInsensitive) == 0;
    });
    return it == controls.end() ? nullptr : &*it;
}

}  // namespace

uint32_t automaticModeOf(uint32_t control)
{
    for (const PropertyRow& row : propertyRows()) {
        if (row.control == control)
            return row.automatic;
    }
    return 0;
}

bool isAutomaticMode(uint32_t id)
{
    return id != 0
        && std::any_of(propertyRows().begin(), propertyRows().end(), [id](const PropertyRow& r) { return r.automatic == id; });
}

bool isPropertyControl(uint32_t id)
{
    return isRowControl(id) || isAutomaticMode(id);
}

const std::array<PropertyRow, 8>& propertyRows()
{
    static const std::array<PropertyRow, 8> rows{{
        {"Brightness", "Brightness", V4L2_CID_BRIGHTNESS, 0},
        {"Contrast", "Contrast", V4L2_CID_CONTRAST, 0},
        {"Saturation", "Saturation", V4L2_CID_SATURATION, 0},
        {"Sharpness", "Sharpness", V4L2_CID_SHARPNESS, 0},
        {"Gamma", "Gamma", V4L2_CID_GAMMA, 0},
        {"Hue", "Hue", V4L2_CID_HUE, 0},
        {"WhiteBalance", "White-Balance", V4L2_CID_WHITE_BALANCE_TEMPERATURE, V4L2_CID_AUTO_WHITE_BALANCE},
        {"Exposure", "Exposure", V4L2_CID_EXPOSURE_ABSOLUTE, V4L2_CID_EXPOSURE_AUTO},
    }};
    return rows;
}

bool isAutomaticOn(uint32_t automatic, int32_t value)
{
    return automatic == V4L2_CID_EXPOSURE_AUTO ? value != V4L2_EXPOSURE_MANUAL : value != 0;
}

int32_t automaticValue(const CameraControl& automatic, bool on)
{
    if (automatic.id != V4L2_CID_EXPOSURE_AUTO)
        return on ? 1 : 0;
    if (!on)
        return V4L2_EXPOSURE_MANUAL;
    // A microscope camera offers aperture priority (automatic time, fixed iris) far more often than full auto.
    for (int32_t wanted : {V4L2_EXPOSURE_APERTURE_PRIORITY, V4L2_EXPOSURE_AUTO}) {
        if (std::any_of(automatic.choices.begin(), automatic.choices.end(), [&](const auto& c) { return c.value == wanted; }))
            return wanted;
    }
    return V4L2_EXPOSURE_APERTURE_PRIORITY;
}

int32_t fittedValue(const CameraControl& control, int32_t value)
{
    if (!control.choices.empty()) {
        const auto nearest = std::min_element(control.choices.begin(), control.choices.end(), [&](const auto& a, const auto& b) {
            return std::abs(int64_t(a.value) - value) < std::abs(int64_t(b.value) - value);
        });
        return nearest->value;
    }
    const int64_t step = std::max(1, control.step);
    const int64_t clamped = std::clamp<int64_t>(value, control.minimum, control.maximum);
    const int64_t steps = (clamped - control.minimum + step / 2) / step;
    return static_cast<int32_t>(std::min<int64_t>(control.minimum + steps * step, control.maximum));
}

QString profileFolder(const QString& settingsFolder, const QString& kind)
{
    return settingsFolder + QLatin1Char('/') + kind;
}

QString profilePath(const QString& folder, const QString& name)
{
    return folder + QLatin1Char('/') + name + QLatin1String(".ini");
}

QStringList listProfiles(const QString& folder)
{
    QStringList names;
    const QFileInfoList files = QDir(folder).entryInfoList(QDir::Files | QDir::Hidden, QDir::Name | QDir::IgnoreCase);
    for (const QFileInfo& f : files) {
        const QString file = f.fileName();
        if (file.endsWith(QLatin1String(".ini"), Qt::CaseInsensitive)
            && file.compare(QLatin1String("default.ini"), Qt::CaseInsensitive) != 0)
            names.append(file.left(file.size() - 4));
    }
    return names;
}

ProfileValues profileValuesOf(const std::vector<CameraControl>& controls)
{
    ProfileValues values;
    for (const PropertyRow& row : propertyRows()) {
        if (const CameraControl* c = findControl(controls, row.control))
            values.append({QLatin1String(row.key), c->value});
    }
    for (const CameraControl& c : controls) {
        if (!isRowControl(c.id))
            values.append({QString::fromStdString(c.name), c.value});
    }
    return values;
}

ProfileSave saveProfile(const QString& folder, const QString& name, const QString& section, const ProfileValues& values)
{
    const QString trimmed = name.trimmed();
    if (trimmed.isEmpty())
        return ProfileSave::EmptyName;
    if (trimmed == QLatin1String(".") || trimmed == QLatin1String("..") || trimmed.contains(QLatin1Char('/')))
        return ProfileSave::CannotWrite;
    QDir().mkpath(folder);
    const QString path = profilePath(folder, trimmed);
    if (QFileInfo::exists(path))
        return ProfileSave::Exists;
    platform::IniDocument ini;
    for (const auto& [key, value] : values)
        ini.setValue(section, key, QString::number(value));
    return platform::writeFileAtomically(path, ini.text().toUtf8()) ? ProfileSave::Saved : ProfileSave::CannotWrite;
}

ProfileValues readProfile(const QString& path, const QString& section, QStringList* unreadable)
{
    QByteArray bytes;
    ProfileValues values;
    if (!platform::readWholeFile(path, bytes))
        return values;
    const platform::IniDocument ini(QString::fromUtf8(bytes));
    for (const QString& key : ini.keys(section)) {
        bool ok = false;
        const int value = ini.value(section, key).value_or(QString()).toInt(&ok);
        if (ok)
            values.append({key, value});
        else if (unreadable)
            unreadable->append(key);
    }
    return values;
}

QString defaultProfileName(const QString& folder)
{
    const QString path = platform::readProfileString(folder + QLatin1String("/default.ini"), kDefaultSection,
                                                     QStringLiteral("Path"));
    const QString file = path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
    return file.endsWith(QLatin1String(".ini"), Qt::CaseInsensitive) ? file.left(file.size() - 4) : QString();
}

bool writeDefaultProfile(const QString& folder, const QString& profileFile)
{
    QDir().mkpath(folder);
    return platform::writeProfileString(folder + QLatin1String("/default.ini"), kDefaultSection, QStringLiteral("Path"),
                                        profileFile);
}

void forgetDefaultProfile(const QString& folder)
{
    QFile::remove(folder + QLatin1String("/default.ini"));
}

ControlSettings settingsForProfile(const ProfileValues& profile, const std::vector<CameraControl>& controls)
{
    ControlSettings out;
    std::vector<CameraControl> after = controls;  // the automatic modes as they will be
    std::vector<std::pair<uint32_t, int32_t>> manual;
    for (const auto& [key, value] : profile) {
        const CameraControl* c = controlOfKey(controls, key);
        if (!c) {
            out.lacking.append(key);
            continue;
        }
        const int32_t fitted = fittedValue(*c, value);
        if (isAutomaticMode(c->id)) {
            out.settings.emplace_back(c->id, fitted);
            findControl(after, c->id)->value = fitted;
        } else {
            manual.emplace_back(c->id, fitted);
        }
    }
    for (const auto& [id, value] : manual) {
        const uint32_t automatic = automaticModeOf(id);
        const CameraControl* mode = automatic ? findControl(after, automatic) : nullptr;
        if (!mode || !isAutomaticOn(automatic, mode->value))
            out.settings.emplace_back(id, value);
    }
    return out;
}

ControlSettings defaultSettings(const std::vector<CameraControl>& controls)
{
    ControlSettings out;
    for (const PropertyRow& row : propertyRows()) {
        if (row.control == V4L2_CID_EXPOSURE_ABSOLUTE)
            continue;
        if (const CameraControl* mode = row.automatic ? findControl(controls, row.automatic) : nullptr)
            out.settings.emplace_back(mode->id, automaticValue(*mode, true));
        else if (const CameraControl* c = findControl(controls, row.control))
            out.settings.emplace_back(c->id, c->defaultValue);
    }
    return out;
}

}  // namespace capture
