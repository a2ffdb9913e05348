#include "registry_settings.h"

#include "platform/message_dialogs.h"

#include <QLocale>

#include <charconv>
#include <vector>

namespace base {

namespace {

// Read buffers of the string values, in characters with the terminating zero.
constexpr int kScaleCapacity = 12;
constexpr int kUnitCapacity = 12;

// The number at the start of `text`, as the settings were always parsed;
// nothing when there is none.
std::optional<double> leadingNumber(const QString& text)
{
    const QString t = text.trimmed();
    for (qsizetype len = t.size(); len > 0; --len) {
        bool ok = false;
        const double v = QLocale::c().toDouble(t.left(len), &ok);
        if (ok)
            return v;
    }
    return std::nullopt;
}

QString yuyName(int slot)
{
    return QStringLiteral("g_szYuy%1ormjpeg").arg(slot + 1);
}

// Collects the values to write back while reading one snapshot.
class Reader {
public:
    explicit Reader(const platform::RegistryTree& tree) : m_tree(tree) {}

    void dword(const QString& name, quint32& value)
    {
        if (m_tree.queryDword(kConfigKey, name, value) != platform::RegStatus::Ok)
            m_missing.push_back(platform::RegValue::ofDword(name, value));
    }

    void scale(const QString& name, double& value)
    {
        QString text;
        std::optional<double> v;
        if (m_tree.queryString(kConfigKey, name, kScaleCapacity, text) == platform::RegStatus::Ok)
            v = leadingNumber(text);
        // A zero or negative scale would make the live picture vanish or
        // divide by zero; it is as good as missing.
        if (v && *v > 0.0)
            value = *v;
        else
            m_missing.push_back(platform::RegValue::ofString(name, formatScale(value)));
    }

    void unit(const QString& name, QString& value)
    {
        QString text;
        if (m_tree.queryString(kConfigKey, name, kUnitCapacity, text) == platform::RegStatus::Ok)
            value = text;
        else
            m_missing.push_back(platform::RegValue::ofString(name, value));
    }

    const std::vector<platform::RegValue>& missing() const { return m_missing; }

private:
    const platform::RegistryTree& m_tree;
    std::vector<platform::RegValue> m_missing;
};

}  // namespace

QString formatScale(double value)
{
    // printf's "%.1f" rounding, but never the user's decimal comma.
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, 1);
    return QString::fromLatin1(buf, res.ptr - buf);
}

RegistrySettings readRegistrySettings(platform::Registry& registry)
{
    RegistrySettings s;
    const platform::RegistryTree tree = registry.snapshot();
    Reader r(tree);
    r.dword(QStringLiteral("g_szCompessName"), s.g_szCompessName);
    r.scale(QStringLiteral("m_zoon_ratio_x"), s.m_zoon_ratio_x);
    r.scale(QStringLiteral("m_zoon_ratio_y"), s.m_zoon_ratio_y);
    r.dword(QStringLiteral("g_szSaveoption1"), s.g_szSaveoption1);
    r.dword(QStringLiteral("g_szSaveoption2"), s.g_szSaveoption2);
    r.dword(QStringLiteral("g_szBmporjpg"), s.g_szBmporjpg);
    r.dword(QStringLiteral("g_szBmporjpgDPI"), s.g_szBmporjpgDPI);
    r.dword(QStringLiteral("g_szMeasuredecimal"), s.g_szMeasuredecimal);
    r.dword(QStringLiteral("m_tool_width"), s.m_tool_width);
    r.dword(QStringLiteral("m_tool_font_size"), s.m_tool_font_size);
    r.dword(QStringLiteral("languagemainid"), s.languagemainid);
    r.dword(QStringLiteral("languagesubid"), s.languagesubid);
    r.dword(QStringLiteral("isEnableSnap"), s.isEnableSnap);
    for (int slot = 0; slot < 5; ++slot)
        r.dword(yuyName(slot), s.g_szYuyOrMjpeg[static_cast<size_t>(slot)]);
    r.unit(QStringLiteral("s_tool_active_unit"), s.s_tool_active_unit);

    if (!r.missing().empty() || !tree.keyExists(kConfigKey)) {
        // Failing to write back is not reported: the values are in use anyway.
        registry.update([&](platform::RegistryTree& t) {
            t.createKey(kConfigKey);
            for (const platform::RegValue& v : r.missing())
                t.setValue(kConfigKey, v);
        });
    }
    return s;
}

bool saveRegistrySettings(platform::Registry& registry, const RegistrySettings& s)
{
    using platform::RegValue;
    std::vector<RegValue> values{
        RegValue::ofDword(QStringLiteral("g_szCompessName"), s.g_szCompessName),
        RegValue::ofString(QStringLiteral("m_zoon_ratio_x"), formatScale(s.m_zoon_ratio_x)),
        RegValue::ofString(QStringLiteral("m_zoon_ratio_y"), formatScale(s.m_zoon_ratio_y)),
        RegValue::ofDword(QStringLiteral("g_szSaveoption1"), s.g_szSaveoption1),
        RegValue::ofDword(QStringLiteral("g_szSaveoption2"), s.g_szSaveoption2),
        RegValue::ofDword(QStringLiteral("g_szBmporjpg"), s.g_szBmporjpg),
        RegValue::ofDword(QStringLiteral("g_szBmporjpgDPI"), s.g_szBmporjpgDPI),
        RegValue::ofDword(QStringLiteral("g_szMeasuredecimal"), s.g_szMeasuredecimal),
        RegValue::ofDword(QStringLiteral("m_tool_width"), s.m_tool_width),
        RegValue::ofDword(QStringLiteral("m_tool_font_size"), s.m_tool_font_size),
        RegValue::ofDword(QStringLiteral("languagemainid"), s.languagemainid),
        RegValue::ofDword(QStringLiteral("languagesubid"), s.languagesubid),
        RegValue::ofDword(QStringLiteral("isEnableSnap"), s.isEnableSnap),
    };
    for (int slot = 0; slot < 5; ++slot)
        values.push_back(RegValue::ofDword(yuyName(slot), s.g_szYuyOrMjpeg[static_cast<size_t>(slot)]));
    values.push_back(RegValue::ofString(QStringLiteral("s_tool_active_unit"), s.s_tool_active_unit));

    const bool ok = registry.update([&](platform::RegistryTree& t) {
        for (const RegValue& v : values)
            t.setValue(kConfigKey, v);
    });
    if (!ok)
        platform::messageDialogs().inform(QStringLiteral("RegKey Error"), QString());
    return ok;
}

quint32 readCrosshair(platform::Registry& registry)
{
    quint32 value = 0;
    if (registry.queryDword(kConfigKey, QStringLiteral("crosshair"), value) != platform::RegStatus::Ok) {
        value = 0;
        registry.setDword(kConfigKey, QStringLiteral("crosshair"), 0);
    }
    return value;
}

bool writeCrosshair(platform::Registry& registry, quint32 value)
{
    const bool ok = registry.setDword(kConfigKey, QStringLiteral("crosshair"), value);
    if (!ok)
        platform::messageDialogs().inform(QStringLiteral("RegKey Error"), QString());
    return ok;
}

}  // namespace base
