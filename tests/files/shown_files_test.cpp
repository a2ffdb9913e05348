#include "files/core/shown_files.h"

#include "sandbox.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

using namespace files;
using testing_support::writeFile;

TEST(ShownFiles, LowerCasedNamesKeepTheRealPaths)
{
    testing_support::Sandbox box;
    const QString dir = box.path() + QLatin1String("/Picture");
    writeFile(dir + QLatin1String("/PIC.JPG"), "upper");
    writeFile(dir + QLatin1String("/pic.jpg"), "lower");
    writeFile(dir + QLatin1String("/Img10.bmp"), "b");
    writeFile(dir + QLatin1String("/img9.Bmp"), "b");
    writeFile(dir + QLatin1String("/photo.jpeg"), "not shown");
    writeFile(dir + QLatin1String("/readme.txt"), "not shown");
    ASSERT_TRUE(QDir().mkpath(dir + QLatin1String("/a.jpg")));
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir + QLatin1String("/x.bmp")).constData(), 0600), 0);
    ASSERT_EQ(::symlink("loop.jpg", QFile::encodeName(dir + QLatin1String("/loop.jpg")).constData()), 0);

    const QList<ShownFile> shown = listShownFiles(dir);
    ASSERT_EQ(shown.size(), 4);
    EXPECT_EQ(shown[0].shown, QStringLiteral("img9.bmp"));
    EXPECT_EQ(shown[0].path, dir + QLatin1String("/img9.Bmp"));
    EXPECT_EQ(shown[1].path, dir + QLatin1String("/Img10.bmp"));
    EXPECT_EQ(shown[2].shown, QStringLiteral("pic.jpg"));
    EXPECT_EQ(shown[3].shown, QStringLiteral("pic.jpg"));
    QStringList both{shown[2].path, shown[3].path};
    both.sort();
    EXPECT_EQ(both, (QStringList{dir + QLatin1String("/PIC.JPG"), dir + QLatin1String("/pic.jpg")}));
}

TEST(ShownFiles, AClipPictureNamesItsClip)
{
    testing_support::Sandbox box;
    const QString dir = box.path() + QLatin1String("/Video");
    writeFile(dir + QLatin1String("/20240105103000.AVI.bmp"), "thumb");
    const ShownFile f = shownFileFor(dir + QLatin1String("/20240105103000.AVI.bmp"));
    EXPECT_EQ(f.shown, QStringLiteral("20240105103000.avi.bmp"));
    EXPECT_EQ(f.clip, dir + QLatin1String("/20240105103000.AVI"));
    EXPECT_TRUE(shownFileFor(dir + QLatin1String("/missing.bmp")).path.isEmpty());
}
