// Language files arrive in the code page their name carries.
#include "platform/private_profile.h"
#include "platform/text_codec.h"

#include "sandbox.h"

#include <gtest/gtest.h>

using namespace platform;

TEST(TextCodec, CodePageComesFromTheFileName)
{
    EXPECT_EQ(codePageOfFileName(QStringLiteral("/x/English1252.ini")), QByteArray("CP1252"));
    EXPECT_EQ(codePageOfFileName(QStringLiteral("Chinese936.ini")), QByteArray("GBK"));
    EXPECT_EQ(codePageOfFileName(QStringLiteral("Chinese950.ini")), QByteArray("BIG5"));
    EXPECT_EQ(codePageOfFileName(QStringLiteral("Japanese932.ini")), QByteArray("CP932"));
    EXPECT_EQ(codePageOfFileName(QStringLiteral("Polish1250.ini")), QByteArray("CP1250"));
    EXPECT_EQ(codePageOfFileName(QStringLiteral("Thai874.ini")), QByteArray("CP874"));
    EXPECT_EQ(codePageOfFileName(QStringLiteral("savepath.ini")), QByteArray());
}

TEST(TextCodec, EachShippedCodePageDecodes)
{
    // The same words in each code page, checked against Qt's own decoding of UTF-8.
    struct Case {
        const char* fileName;
        QByteArray bytes;
        const char* utf8;
    };
    const Case cases[] = {
        {"French1252.ini", QByteArray("Cam\xe9ra"), "Caméra"},
        {"Chinese936.ini", QByteArray("\xd6\xd0\xce\xc4"), "中文"},
        {"Chinese950.ini", QByteArray("\xa4\xa4\xa4\xe5"), "中文"},
        {"Japanese932.ini", QByteArray("\x93\xfa\x96\x7b"), "日本"},
        {"Russian1251.ini", QByteArray("\xd1\xed\xe8\xec\xee\xea"), "Снимок"},
        {"Korean949.ini", QByteArray("\xc7\xd1\xb1\xb9"), "한국"},
        {"Thai874.ini", QByteArray("\xe4\xb7\xc2"), "ไทย"},
    };
    for (const Case& c : cases) {
        const QString text = decodeIniText(QByteArray("[TiScopara]\nCapture=") + c.bytes + "\n", QLatin1String(c.fileName));
        EXPECT_TRUE(text.endsWith(QString::fromUtf8(c.utf8) + QLatin1Char('\n'))) << c.fileName << ": " << text.toStdString();
    }
}

TEST(TextCodec, Utf8AndUtf16FilesWinOverTheName)
{
    EXPECT_EQ(decodeIniText(QByteArray("\xEF\xBB\xBF中文"), QStringLiteral("Japanese932.ini")), QStringLiteral("中文"));
    const QString s = QStringLiteral("[TiScopara]\nCapture=Aufnahme\n");
    QByteArray utf16("\xFF\xFE");
    utf16.append(reinterpret_cast<const char*>(s.utf16()), s.size() * 2);
    EXPECT_EQ(decodeIniText(utf16, QStringLiteral("German1252.ini")), s);
    // Not UTF-8 and no code page in the name: the Western code page, never refused.
    EXPECT_EQ(decodeIniText(QByteArray("caf\xe9\x81"), QStringLiteral("notes.ini")), QString::fromUtf8("caf\xc3\xa9\xc2\x81"));
}

TEST(TextCodec, LanguageFileIsReadThroughTheProfileLayer)
{
    testing_support::Sandbox box;
    const QString ini = box.programFolder() + QLatin1String("/Chinese936.ini");
    testing_support::writeFile(ini, QByteArray("[TiScopara]\r\nCapture=\xc5\xc4\xd5\xd5\r\n"));
    EXPECT_EQ(readProfileString(ini, QStringLiteral("TiScopara"), QStringLiteral("Capture"), QStringLiteral("Capture")),
              QString::fromUtf8("拍照"));
}
