// Ini files read and written the way settings code expects.
#include "platform/private_profile.h"

#include "sandbox.h"

#include <QDir>

#include <gtest/gtest.h>

using namespace platform;
using testing_support::readFile;
using testing_support::Sandbox;
using testing_support::writeFile;

TEST(PrivateProfile, MissingFileSectionOrKeyGiveTheDefault)
{
    Sandbox box;
    const QString ini = box.path() + QLatin1String("/none.ini");
    EXPECT_EQ(readProfileString(ini, QStringLiteral("S"), QStringLiteral("k"), QStringLiteral("dflt")), QStringLiteral("dflt"));
    EXPECT_EQ(readProfileInt(ini, QStringLiteral("S"), QStringLiteral("k"), 42), 42);
    writeFile(ini, "[S]\nother=1\n");
    EXPECT_EQ(readProfileString(ini, QStringLiteral("S"), QStringLiteral("k"), QStringLiteral("dflt")), QStringLiteral("dflt"));
    EXPECT_EQ(readProfileString(ini, QStringLiteral("T"), QStringLiteral("other")), QString());
}

TEST(PrivateProfile, ReadsLikeTheDesktopDoes)
{
    Sandbox box;
    const QString ini = box.path() + QLatin1String("/a.ini");
    writeFile(ini,
              "; comment=not a key\n"
              "[ DefaultSavePath ]\n"
              "  RootDir = /data/scope one  \n"
              "Quoted=\"  spaced  \"\n"
              "rootdir=/second/wins/not\n"
              "junk line without equals\n"
              "[Section]\n"
              "n1=12abc\n"
              "n2=abc\n"
              "n3=-3\n"
              "n4=\n");
    EXPECT_EQ(readProfileString(ini, QStringLiteral("defaultsavepath"), QStringLiteral("ROOTDIR")),
              QStringLiteral("/data/scope one"));
    EXPECT_EQ(readProfileString(ini, QStringLiteral("DefaultSavePath"), QStringLiteral("quoted")), QStringLiteral("  spaced  "));
    EXPECT_EQ(readProfileString(ini, QStringLiteral("DefaultSavePath"), QStringLiteral("comment")), QString());
    EXPECT_EQ(readProfileInt(ini, QStringLiteral("Section"), QStringLiteral("n1"), 7), 12);
    EXPECT_EQ(readProfileInt(ini, QStringLiteral("Section"), QStringLiteral("n2"), 7), 0);
    EXPECT_EQ(readProfileInt(ini, QStringLiteral("Section"), QStringLiteral("n3"), 7), -3);
    EXPECT_EQ(readProfileInt(ini, QStringLiteral("Section"), QStringLiteral("n4"), 7), 0);
}

TEST(PrivateProfile, ValueLongerThanTheBufferIsCut)
{
    Sandbox box;
    const QString ini = box.path() + QLatin1String("/a.ini");
    writeFile(ini, "[Section]\nimagePrefixSelected=abcdefghijklmnopqrstuvwxyz\n");
    EXPECT_EQ(readProfileString(ini, QStringLiteral("Section"), QStringLiteral("imagePrefixSelected"), {}, 24),
              QStringLiteral("abcdefghijklmnopqrstuvw"));
    EXPECT_EQ(readProfileString(ini, QStringLiteral("Section"), QStringLiteral("imagePrefixSelected")).size(), 26);
}

TEST(PrivateProfile, WritingChangesOneLineAndKeepsTheRest)
{
    Sandbox box;
    const QString ini = box.path() + QLatin1String("/a.ini");
    writeFile(ini,
              "; kept comment\r\n"
              "[SavePath]\r\n"
              "SaveFile1=/a\r\n"
              "\r\n"
              "[Other]\r\n"
              "keep=me\r\n");
    ASSERT_TRUE(writeProfileString(ini, QStringLiteral("savepath"), QStringLiteral("SAVEFILE1"), QStringLiteral("/b")));
    ASSERT_TRUE(writeProfileString(ini, QStringLiteral("SavePath"), QStringLiteral("SaveFile2"), QStringLiteral("/c")));
    ASSERT_TRUE(writeProfileString(ini, QStringLiteral("New"), QStringLiteral("k"), QStringLiteral("line\nbreak")));
    EXPECT_EQ(readFile(ini).toStdString(),
              "; kept comment\r\n"
              "[SavePath]\r\n"
              "SAVEFILE1=/b\r\n"
              "SaveFile2=/c\r\n"
              "\r\n"
              "[Other]\r\n"
              "keep=me\r\n"
              "\r\n"
              "[New]\r\n"
              "k=line break\r\n");
    EXPECT_TRUE(deleteProfileKey(ini, QStringLiteral("SavePath"), QStringLiteral("savefile2")));
    EXPECT_TRUE(deleteProfileSection(ini, QStringLiteral("other")));
    EXPECT_EQ(readProfileString(ini, QStringLiteral("SavePath"), QStringLiteral("SaveFile2"), QStringLiteral("gone")),
              QStringLiteral("gone"));
    EXPECT_EQ(readProfileString(ini, QStringLiteral("Other"), QStringLiteral("keep"), QStringLiteral("gone")),
              QStringLiteral("gone"));
    EXPECT_EQ(readProfileString(ini, QStringLiteral("New"), QStringLiteral("k")), QStringLiteral("line break"));
    EXPECT_TRUE(QDir(box.path()).entryList({QStringLiteral(".a.ini.*")}, QDir::Files | QDir::Hidden).isEmpty());
}

TEST(PrivateProfile, WritingCreatesTheFileAsUtf8AndFailsCleanlyWithoutAFolder)
{
    Sandbox box;
    const QString ini = box.path() + QLatin1String("/new.ini");
    ASSERT_TRUE(writeProfileStrings(ini, QStringLiteral("Section"),
                                    {{QStringLiteral("imagePrefixSelected"), QStringLiteral("Probe-µ")},
                                     {QStringLiteral("sortFolders"), QStringLiteral("2")}}));
    EXPECT_EQ(readFile(ini), QByteArray("[Section]\nimagePrefixSelected=Probe-\xC2\xB5\nsortFolders=2\n"));
    EXPECT_FALSE(writeProfileString(box.path() + QLatin1String("/missing/dir/x.ini"), QStringLiteral("S"), QStringLiteral("k"),
                                    QStringLiteral("v")));
}
