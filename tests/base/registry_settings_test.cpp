// Reading and writing the configuration values one by one.
#include "base/registry_settings.h"

#include "platform/registry.h"

#include "sandbox.h"
#include "scripted_dialogs.h"

#include <gtest/gtest.h>

using namespace base;
using platform::Registry;
using platform::RegStatus;
using testing_support::Sandbox;

namespace {

QString storedString(Registry& r, const char* name)
{
    QString v;
    r.queryString(kConfigKey, QLatin1String(name), 0, v);
    return v;
}

}  // namespace

TEST(RegistrySettings, StringsLongerThanTheirBufferAreResetToDefaults)
{
    Sandbox box;
    Registry registry(box.registryFile());
    readRegistrySettings(registry);
    registry.setString(kConfigKey, QStringLiteral("m_zoon_ratio_x"), QStringLiteral("2.000000000"));      // 11 characters: fits
    registry.setString(kConfigKey, QStringLiteral("m_zoon_ratio_y"), QStringLiteral("2.0000000000"));     // 12: does not
    registry.setString(kConfigKey, QStringLiteral("s_tool_active_unit"), QStringLiteral("micrometres"));  // 11: fits
    RegistrySettings s = readRegistrySettings(registry);
    EXPECT_DOUBLE_EQ(s.m_zoon_ratio_x, 2.0);
    EXPECT_DOUBLE_EQ(s.m_zoon_ratio_y, 1.0);
    EXPECT_EQ(s.s_tool_active_unit, QStringLiteral("micrometres"));
    EXPECT_EQ(storedString(registry, "m_zoon_ratio_x"), QStringLiteral("2.000000000"));
    EXPECT_EQ(storedString(registry, "m_zoon_ratio_y"), QStringLiteral("1.0"));

    registry.setString(kConfigKey, QStringLiteral("s_tool_active_unit"), QStringLiteral("micrometre(s)"));
    s = readRegistrySettings(registry);
    EXPECT_EQ(s.s_tool_active_unit, QStringLiteral("mm"));
    EXPECT_EQ(storedString(registry, "s_tool_active_unit"), QStringLiteral("mm"));
}

TEST(RegistrySettings, MissingUnitAloneIsRestoredAndNothingElseTouched)
{
    Sandbox box;
    Registry registry(box.registryFile());
    RegistrySettings custom;
    custom.g_szMeasuredecimal = 4;
    custom.m_zoon_ratio_y = 0.5;
    custom.g_szYuyOrMjpeg[4] = 1;
    custom.s_tool_active_unit = QStringLiteral("um");
    ASSERT_TRUE(saveRegistrySettings(registry, custom));
    ASSERT_TRUE(registry.deleteValue(kConfigKey, QStringLiteral("s_tool_active_unit")));

    const RegistrySettings s = readRegistrySettings(registry);
    EXPECT_EQ(s.s_tool_active_unit, QStringLiteral("mm"));
    EXPECT_EQ(storedString(registry, "s_tool_active_unit"), QStringLiteral("mm"));
    RegistrySettings expected = custom;
    expected.s_tool_active_unit = QStringLiteral("mm");
    EXPECT_TRUE(s == expected);
    EXPECT_EQ(storedString(registry, "m_zoon_ratio_y"), QStringLiteral("0.5"));
}

TEST(RegistrySettings, ValuesOfTheWrongTypeOrUnusableScalesTakeTheirDefaults)
{
    Sandbox box;
    Registry registry(box.registryFile());
    registry.setString(kConfigKey, QStringLiteral("g_szBmporjpg"), QStringLiteral("2"));
    registry.setString(kConfigKey, QStringLiteral("m_zoon_ratio_x"), QStringLiteral("abc"));
    registry.setString(kConfigKey, QStringLiteral("m_zoon_ratio_y"), QStringLiteral("0.0"));
    registry.setDword(kConfigKey, QStringLiteral("s_tool_active_unit"), 3);
    registry.setString(kConfigKey, QStringLiteral("m_tool_width"), QStringLiteral("1.5x"));
    const RegistrySettings s = readRegistrySettings(registry);
    EXPECT_TRUE(s == RegistrySettings());
    quint32 format = 0;
    EXPECT_EQ(registry.queryDword(kConfigKey, QStringLiteral("g_szBmporjpg"), format), RegStatus::Ok);
    EXPECT_EQ(format, 1u);
    EXPECT_EQ(storedString(registry, "m_zoon_ratio_y"), QStringLiteral("1.0"));

    registry.setString(kConfigKey, QStringLiteral("m_zoon_ratio_x"), QStringLiteral(" 1.25zoom"));
    EXPECT_DOUBLE_EQ(readRegistrySettings(registry).m_zoon_ratio_x, 1.25);  // leading number, as always parsed
}

TEST(RegistrySettings, SavingFormatsScalesWithOneDecimal)
{
    Sandbox box;
    Registry registry(box.registryFile());
    RegistrySettings s;
    s.m_zoon_ratio_x = 0.25;
    s.m_zoon_ratio_y = 1.96;
    ASSERT_TRUE(saveRegistrySettings(registry, s));
    EXPECT_EQ(storedString(registry, "m_zoon_ratio_x"), QStringLiteral("0.2"));
    EXPECT_EQ(storedString(registry, "m_zoon_ratio_y"), QStringLiteral("2.0"));
}

TEST(RegistrySettings, UnwritableStoreShowsRegKeyErrorOnSaveOnly)
{
    Sandbox box;
    testing_support::ScriptedDialogs dialogs;
    testing_support::writeFile(box.config() + QLatin1String("/Vellumet"), "not a folder");
    Registry registry(box.registryFile());

    const RegistrySettings s = readRegistrySettings(registry);  // reading reports nothing
    EXPECT_TRUE(s == RegistrySettings());
    EXPECT_TRUE(dialogs.messages.isEmpty());

    EXPECT_FALSE(saveRegistrySettings(registry, s));
    EXPECT_FALSE(writeCrosshair(registry, 1));
    EXPECT_EQ(dialogs.messages, (QStringList{QStringLiteral("RegKey Error"), QStringLiteral("RegKey Error")}));
    EXPECT_EQ(dialogs.captions, (QStringList{QString(), QString()}));
}

TEST(RegistrySettings, CrosshairIsWrittenAsZeroWhenMissingAndReadBack)
{
    Sandbox box;
    Registry registry(box.registryFile());
    EXPECT_EQ(readCrosshair(registry), 0u);
    quint32 v = 9;
    EXPECT_EQ(registry.queryDword(kConfigKey, QStringLiteral("crosshair"), v), RegStatus::Ok);
    EXPECT_EQ(v, 0u);
    EXPECT_TRUE(writeCrosshair(registry, 1));
    EXPECT_EQ(readCrosshair(registry), 1u);
    // Saving the other settings leaves the crosshair alone.
    EXPECT_TRUE(saveRegistrySettings(registry, RegistrySettings()));
    EXPECT_EQ(readCrosshair(registry), 1u);
}
