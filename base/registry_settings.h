#pragma once

#include "platform/registry.h"

#include <QString>

#include <array>

namespace base {

// Where the main program keeps its settings, and the framework state below it.
inline const QString kConfigKey = QStringLiteral("SOFTWARE\\Vellumet\\Vellumet\\Configation");
inline const QString kAppRootKey = QStringLiteral("Software\\Vellumet");
inline const QString kWorkspaceKey = QStringLiteral("Software\\Vellumet\\Vellumet\\Workspace");

// One member per value of the configuration key, named as it is stored.
struct RegistrySettings {
    quint32 g_szCompessName = 0;
    double m_zoon_ratio_x = 1.0;
    double m_zoon_ratio_y = 1.0;
    quint32 g_szSaveoption1 = 1;
    quint32 g_szSaveoption2 = 1;
    quint32 g_szBmporjpg = 1;
    quint32 g_szBmporjpgDPI = 96;
    quint32 g_szMeasuredecimal = 3;
    quint32 m_tool_width = 1;
    quint32 m_tool_font_size = 16;
    quint32 languagemainid = 0;
    quint32 languagesubid = 0;
    quint32 isEnableSnap = 0;
    std::array<quint32, 5> g_szYuyOrMjpeg{2, 2, 2, 2, 2};  // g_szYuy1ormjpeg ... g_szYuy5ormjpeg
    QString s_tool_active_unit = QStringLiteral("mm");

    bool operator==(const RegistrySettings&) const = default;
};

// Reads every value (all but crosshair). A value that is missing, of the
// wrong type, longer than its read buffer or not a usable number takes its
// default and is written back at once. When the store cannot be read, all
// values keep their defaults and nothing is reported.
RegistrySettings readRegistrySettings(platform::Registry& registry);

// Writes every value in the fixed order. False, with "RegKey Error" shown,
// when the store cannot be written; nothing is written then.
bool saveRegistrySettings(platform::Registry& registry, const RegistrySettings& settings);

// The crosshair value, written as 0 when missing.
quint32 readCrosshair(platform::Registry& registry);
// False, with "RegKey Error" shown, when it cannot be written.
bool writeCrosshair(platform::Registry& registry, quint32 value);

// "%.1f", as the scales are stored.
QString formatScale(double value);

}  // namespace base
