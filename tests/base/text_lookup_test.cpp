// Texts from the language files.
#include "base/text_lookup.h"

#include "sandbox.h"

#include <gtest/gtest.h>

using namespace base;
using testing_support::writeFile;

TEST(TextLookup, Cp1252AndUtf8FilesBothRead)
{
    testing_support::Sandbox box;
    const QString french = box.programFolder() + QLatin1String("/French1252.ini");
    writeFile(french, "[TiScopara]\r\nSetting=Param\xe8tres\r\nCloseTip=Fermer Vellumet ?\r\n");
    EXPECT_EQ(lookUpText(french, QStringLiteral("Setting"), QStringLiteral("Setting")), QStringLiteral("Paramètres"));
    EXPECT_EQ(lookUpText(french, QStringLiteral("closetip"), QStringLiteral("Are you sure close?")),
              QStringLiteral("Fermer Vellumet ?"));

    const QString japanese = box.programFolder() + QLatin1String("/Japanese932.ini");
    writeFile(japanese, QStringLiteral("[TiScopara]\nCapture=撮影\n").toUtf8());  // UTF-8 although the name says 932
    EXPECT_EQ(lookUpText(japanese, QStringLiteral("Capture"), QStringLiteral("Capture")), QStringLiteral("撮影"));
}

TEST(TextLookup, ADamagedLineLeavesTheOtherTextsWhole)
{
    testing_support::Sandbox box;
    const QString chinese = box.programFolder() + QLatin1String("/Chinese936.ini");
    QByteArray bytes = QStringLiteral("[TiScopara]\r\nFile=文件\r\nSetting=设置\r\nCapture=拍照\r\n").toUtf8();
    bytes.insert(bytes.indexOf("\r\nCapture") - 2, '\xff');  // inside the second character of the setting text
    writeFile(chinese, bytes);
    EXPECT_EQ(lookUpText(chinese, QStringLiteral("File"), QStringLiteral("File")), QStringLiteral("文件"));
    EXPECT_EQ(lookUpText(chinese, QStringLiteral("Capture"), QStringLiteral("Capture")), QStringLiteral("拍照"));
    EXPECT_TRUE(lookUpText(chinese, QStringLiteral("Setting"), QStringLiteral("Setting")).startsWith(QStringLiteral("设")));
}

TEST(TextLookup, MissingFileOrKeyGivesTheEnglishDefault)
{
    testing_support::Sandbox box;
    const QString english = box.programFolder() + QLatin1String("/English1252.ini");
    EXPECT_EQ(lookUpText(english, QStringLiteral("Reboot"), QStringLiteral("restart")), QStringLiteral("restart"));
    EXPECT_EQ(lookUpText(QString(), QStringLiteral("Reboot"), QStringLiteral("restart")), QStringLiteral("restart"));
    writeFile(english, "[Other]\nReboot=wrong section\n");
    EXPECT_EQ(lookUpText(english, QStringLiteral("Reboot"), QStringLiteral("restart")), QStringLiteral("restart"));
}

TEST(TextLookup, LongTextsAreCutToTheBufferNeverBeyond)
{
    testing_support::Sandbox box;
    const QString file = box.programFolder() + QLatin1String("/German1252.ini");
    const QString longText(300, QLatin1Char('x'));
    writeFile(file, ("[TiScopara]\nTip=" + longText + "\nEmoji=ab\xF0\x9F\x94\xAC\n").toUtf8());
    EXPECT_EQ(lookUpText(file, QStringLiteral("Tip"), {}, 256).size(), 255);
    EXPECT_EQ(lookUpText(file, QStringLiteral("Tip"), {}, 128).size(), 127);
    EXPECT_EQ(lookUpText(file, QStringLiteral("Tip"), {}, 0).size(), 300);
    // A character of two UTF-16 units is dropped whole, never halved.
    EXPECT_EQ(lookUpText(file, QStringLiteral("Emoji"), {}, 4), QStringLiteral("ab"));
    EXPECT_EQ(lookUpText(file, QStringLiteral("Emoji"), {}, 5), QString::fromUtf8("ab\xF0\x9F\x94\xAC"));
    // The default is cut the same way.
    EXPECT_EQ(lookUpText(file, QStringLiteral("Missing"), longText, 64).size(), 63);
}

TEST(TextLookup, NothingIsCachedAChangedFileIsSeenAtOnce)
{
    testing_support::Sandbox box;
    const QString file = box.programFolder() + QLatin1String("/Italian1252.ini");
    setLanguageFile(file);
    writeFile(file, "[TiScopara]\nCapture=Cattura\n");
    EXPECT_EQ(uiText("Capture", "Capture"), QStringLiteral("Cattura"));
    writeFile(file, "[TiScopara]\nCapture=Scatta\n");
    EXPECT_EQ(uiText("Capture", "Capture"), QStringLiteral("Scatta"));
    setLanguageFile(QString());
    EXPECT_EQ(uiText("Capture", "Capture"), QStringLiteral("Capture"));
}
