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

TEST(TextCodec, OneBadByteSpoilsOnlyItsOwnLine)
{
    // A UTF-8 file with one stray byte: the other lines keep their text, the
    // stray byte shows as a replacement character.
    const QByteArray utf8(
        "[TiScopara]\r\nFile=\xe6\x96\x87\xe4\xbb\xb6\r\nCapture=\xe6\x8b\x8d\xff\xe7\x85\xa7\r\n"
        "Setting=\xe8\xae\xbe\xe7\xbd\xae\r\n");
    const QString fromUtf8 = decodeIniText(utf8, QStringLiteral("Chinese936.ini"));
    EXPECT_TRUE(fromUtf8.contains(QStringLiteral("File=文件\r\n"))) << fromUtf8.toStdString();
    EXPECT_TRUE(fromUtf8.contains(QStringLiteral("Setting=设置\r\n"))) << fromUtf8.toStdString();
    EXPECT_TRUE(fromUtf8.contains(QStringLiteral("Capture=拍\uFFFD照\r\n"))) << fromUtf8.toStdString();

    // The same texts in the code page of the name, with a byte that code page lacks.
    const QByteArray gbk("[TiScopara]\r\nFile=\xce\xc4\xbc\xfe\r\nCapture=\xc5\xc4\xff\xd5\xd5\r\nSetting=\xc9\xe8\xd6\xc3\r\n");
    const QString fromGbk = decodeIniText(gbk, QStringLiteral("Chinese936.ini"));
    EXPECT_TRUE(fromGbk.contains(QStringLiteral("File=文件\r\n"))) << fromGbk.toStdString();
    EXPECT_TRUE(fromGbk.contains(QStringLiteral("Setting=设置\r\n"))) << fromGbk.toStdString();
    EXPECT_TRUE(fromGbk.contains(QStringLiteral("Capture=拍\uFFFD照\r\n"))) << fromGbk.toStdString();

    // As few good lines as damaged ones: still the good line's own text.
    const QByteArray oneOfEach("[TiScopara]\r\nSetting=Param\xc3\xa8tres\r\nCapture=Cam\xc3\xa9ra\xff\r\nFile=Fichier\r\n");
    const QString fromOneOfEach = decodeIniText(oneOfEach, QStringLiteral("French1252.ini"));
    EXPECT_TRUE(fromOneOfEach.contains(QStringLiteral("Setting=Paramètres\r\n"))) << fromOneOfEach.toStdString();
    EXPECT_TRUE(fromOneOfEach.contains(QStringLiteral("Capture=Caméra\uFFFD\r\n"))) << fromOneOfEach.toStdString();
}

TEST(TextCodec, LanguageFileIsReadThroughTheProfileLayer)
{
    testing_support::Sandbox box;
    const QString ini = box.programFolder() + QLatin1String("/Chinese936.ini");
    testing_support::writeFile(ini, QByteArray("[TiScopara]\r\nCapture=\xc5\xc4\xd5\xd5\r\n"));
    EXPECT_EQ(readProfileString(ini, QStringLiteral("TiScopara"), QStringLiteral("Capture"), QStringLiteral("Capture")),
              QString::fromUtf8("拍照"));
}
