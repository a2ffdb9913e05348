// Which language Reelix speaks.
#include "reelix/core/vellumet_language.h"

#include "base/registry_settings.h"
#include "platform/registry.h"

#include "sandbox.h"

#include <gtest/gtest.h>

using base::kConfigKey;
using platform::LanguageIds;
using platform::Registry;
using platform::RegStatus;
using reelix::vellumetLanguageIds;
using testing_support::Sandbox;

// What Reelix reads to speak Vellumet's language: the stored pair, else the
// system's language; it writes nothing into Vellumet's settings.
TEST(CompanionLanguage, FollowsVellumetsLanguageWithoutWriting)
{
    Sandbox box;
    Registry registry(box.registryFile());
    const QLocale german(QLocale::German, QLocale::Germany);

    const LanguageIds system = vellumetLanguageIds(registry, german);
    EXPECT_EQ(system.mainId, 7u);
    EXPECT_EQ(system.subId, 0u);
    quint32 v = 0;
    EXPECT_NE(registry.queryDword(kConfigKey, QStringLiteral("languagemainid"), v), RegStatus::Ok);

    registry.setDword(kConfigKey, QStringLiteral("languagemainid"), 0);
    EXPECT_EQ(vellumetLanguageIds(registry, german).mainId, 7u);

    registry.setDword(kConfigKey, QStringLiteral("languagemainid"), 4);
    registry.setDword(kConfigKey, QStringLiteral("languagesubid"), 1);
    const LanguageIds stored = vellumetLanguageIds(registry, german);
    EXPECT_EQ(stored.mainId, 4u);
    EXPECT_EQ(stored.subId, 1u);
}
