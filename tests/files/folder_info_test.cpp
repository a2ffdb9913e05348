#include "files/core/folder_info.h"

#include "sandbox.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

using namespace files;
using testing_support::writeFile;

TEST(FolderInfo, TimeTexts)
{
    const QDateTime t(QDate(2024, 1, 5), QTime(9, 3, 7));
    EXPECT_EQ(sortableTimeText(t), QStringLiteral("20240105090307"));
    EXPECT_EQ(shownTimeText(t), QStringLiteral("2024/1/5 9:3:7"));
    EXPECT_TRUE(sortableTimeText(QDateTime()).isEmpty());
}

TEST(FolderInfo, SizesInMegabytesWithTwoDecimals)
{
    EXPECT_EQ(megabytesText(0), QStringLiteral("0.00MB"));
    EXPECT_EQ(megabytesText(3 * 1024 * 1024 / 2), QStringLiteral("1.50MB"));
    EXPECT_EQ(tallyText(FileTally{3, 1024 * 1024}), QStringLiteral("3/1.00MB"));
}

TEST(FolderInfo, PropertiesCountOnlyPicturesOfThePictureFolder)
{
    testing_support::Sandbox box;
    const QString f = box.path() + QLatin1String("/SaveFile/Probe");
    writeFile(f + QLatin1String("/Picture/a.bmp"), QByteArray(1024 * 1024, 'x'));
    writeFile(f + QLatin1String("/Picture/B.JPG"), QByteArray(1024 * 1024, 'x'));
    writeFile(f + QLatin1String("/Picture/notes.txt"), QByteArray(5000, 'x'));
    writeFile(f + QLatin1String("/Picture/xbmp"), QByteArray(5000, 'x'));
    ASSERT_TRUE(QDir().mkpath(f + QLatin1String("/Picture/c.jpg")));  // a folder named like a picture
    writeFile(f + QLatin1String("/Video/clip.avi"), QByteArray(2 * 1024 * 1024, 'x'));
    writeFile(f + QLatin1String("/note.txt"), "first line\r\nsecond");

    const FolderProperties p = folderProperties(f);
    EXPECT_EQ(p.name, QStringLiteral("Probe"));
    EXPECT_EQ(p.location, f);
    EXPECT_EQ(p.size, QStringLiteral("2.00MB"));
    EXPECT_EQ(p.number, QStringLiteral("2"));
    EXPECT_EQ(p.note, QStringLiteral("first linesecond"));
    EXPECT_FALSE(p.created.isEmpty());

    const FolderInfo manager = describeFolder(f, FolderDetail::Manager);
    EXPECT_EQ(manager.pictures, QStringLiteral("2/2.00MB"));
    EXPECT_EQ(manager.videos, QStringLiteral("1/2.00MB"));
    EXPECT_EQ(manager.note, QStringLiteral("first linesecond"));
    EXPECT_EQ(manager.created, shownTimeText(folderCreationTime(f)));

    const FolderInfo pane = describeFolder(f, FolderDetail::Pane);
    EXPECT_EQ(pane.created, sortableTimeText(folderCreationTime(f)));
    EXPECT_EQ(pane.created.size(), 14);
    EXPECT_TRUE(pane.note.isEmpty());
}

TEST(FolderInfo, MissingNoteAndMissingFolder)
{
    testing_support::Sandbox box;
    const QString f = box.path() + QLatin1String("/Bare");
    ASSERT_TRUE(QDir().mkpath(f));
    EXPECT_TRUE(folderProperties(f).note.isEmpty());
    EXPECT_EQ(folderProperties(f).number, QStringLiteral("0"));
    EXPECT_FALSE(folderCreationTime(box.path() + QLatin1String("/gone")).isValid());
}
