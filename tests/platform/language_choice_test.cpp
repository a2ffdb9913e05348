#include "platform/language_choice.h"

#include <gtest/gtest.h>

using namespace platform;

TEST(LanguageChoice, TableOfFiles)
{
    const QString dir = QStringLiteral("/opt/vellumet");
    EXPECT_EQ(chooseLanguageFile(dir, 4, 3), dir + QLatin1String("/Chinese936.ini"));
    EXPECT_EQ(chooseLanguageFile(dir, 4, 2), dir + QLatin1String("/Chinese936.ini"));
    EXPECT_EQ(chooseLanguageFile(dir, 4, 1), dir + QLatin1String("/Chinese950.ini"));
    EXPECT_EQ(chooseLanguageFile(dir, 9, 1), dir + QLatin1String("/English1252.ini"));
    EXPECT_EQ(chooseLanguageFile(dir, 0, 0), dir + QLatin1String("/English1252.ini"));
    EXPECT_EQ(chooseLanguageFile(dir, 99, 0), dir + QLatin1String("/English1252.ini"));
    EXPECT_EQ(chooseLanguageFile(dir, 2, 7), dir + QLatin1String("/Bulgarian442.ini"));
    EXPECT_EQ(chooseLanguageFile(dir, 42, 0), dir + QLatin1String("/Vietnamese1258.ini"));
    EXPECT_EQ(chooseLanguageFile(dir, 17, 1), dir + QLatin1String("/Japanese932.ini"));
}

TEST(LanguageChoice, OnlyTheLowSixteenBitsCount)
{
    EXPECT_EQ(chooseLanguageFile(QString(), 0x10004, 0x20001), QStringLiteral("/Chinese950.ini"));
    EXPECT_EQ(chooseLanguageFile(QString(), 0xFFFF000C, 0), QStringLiteral("/French1252.ini"));
}

TEST(LanguageChoice, SystemLocaleToLanguageNumber)
{
    EXPECT_EQ(primaryLanguageIdOf(QLocale(QLocale::French, QLocale::Canada)), 12u);
    EXPECT_EQ(primaryLanguageIdOf(QLocale(QLocale::Chinese, QLocale::Taiwan)), 4u);
    EXPECT_EQ(primaryLanguageIdOf(QLocale(QLocale::NorwegianBokmal, QLocale::Norway)), 20u);
    EXPECT_EQ(primaryLanguageIdOf(QLocale::c()), 9u);
    EXPECT_EQ(primaryLanguageIdOf(QLocale(QLocale::Esperanto)), 9u);
}

TEST(LanguageChoice, StandardTextsFollowTheChosenLanguage)
{
    EXPECT_EQ(localeOfLanguageIds(4, 1).name(), QStringLiteral("zh_TW"));
    EXPECT_EQ(localeOfLanguageIds(4, 2).name(), QStringLiteral("zh_CN"));
    EXPECT_EQ(localeOfLanguageIds(4, 0).name(), QStringLiteral("zh_CN"));
    EXPECT_EQ(localeOfLanguageIds(16, 1).language(), QLocale::Italian);
    EXPECT_EQ(localeOfLanguageIds(0x10011, 0).language(), QLocale::Japanese);
    EXPECT_EQ(localeOfLanguageIds(77, 0).language(), QLocale::English);
    // Every language with a number maps back to that number.
    for (quint32 id : {1u, 2u, 6u, 7u, 10u, 11u, 12u, 13u, 16u, 17u, 18u, 19u, 20u, 21u, 22u, 25u, 29u, 30u, 31u, 42u})
        EXPECT_EQ(primaryLanguageIdOf(localeOfLanguageIds(id, 0)), id) << id;
}
