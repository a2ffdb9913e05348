#include "files/core/trash.h"

#include "sandbox.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>

#include <gtest/gtest.h>

using namespace files;
using testing_support::writeFile;

namespace {

QString trashFolder()
{
    return QString::fromLocal8Bit(qgetenv("XDG_DATA_HOME")) + QLatin1String("/Trash");
}

bool inTrash(const QString& name)
{
    return QFileInfo::exists(trashFolder() + QLatin1String("/files/") + name)
        && QFileInfo(trashFolder() + QLatin1String("/info/") + name + QLatin1String(".trashinfo")).isFile();
}

}  // namespace

TEST(Trash, AFileGoesToTheSandboxTrashWithItsInfo)
{
    testing_support::Sandbox box;
    const QString pic = box.path() + QLatin1String("/Picture/PIC.JPG");
    writeFile(pic, "picture");
    EXPECT_EQ(moveToTrash(pic), TrashResult::Trashed);
    EXPECT_FALSE(QFileInfo::exists(pic));
    EXPECT_TRUE(inTrash(QStringLiteral("PIC.JPG")));
    EXPECT_EQ(testing_support::readFile(trashFolder() + QLatin1String("/files/PIC.JPG")), QByteArray("picture"));
    EXPECT_EQ(moveToTrash(pic), TrashResult::Missing);
}

TEST(Trash, TheInfoFileNamesTheOriginalPathEscapedAsInAUri)
{
    testing_support::Sandbox box;
    const QString folder = box.path() + QLatin1String("/SaveFile/Onion cells");
    const QString pic = folder + QLatin1String("/Picture/50% stain.JPG");
    writeFile(pic, "picture");
    ASSERT_EQ(moveToTrash(pic), TrashResult::Trashed);
    ASSERT_EQ(moveToTrash(folder), TrashResult::Trashed);
    const auto pathLine = [](const QString& name) {
        const QByteArray info = testing_support::readFile(trashFolder() + QLatin1String("/info/") + name
                                                          + QLatin1String(".trashinfo"));
        for (const QByteArray& line : info.split('\n')) {
            if (line.startsWith("Path="))
                return line.mid(5);
        }
        return QByteArray();
    };
    const QByteArray picLine = pathLine(QStringLiteral("50% stain.JPG"));
    EXPECT_EQ(picLine, QFile::encodeName(box.path()).replace(' ', "%20") + "/SaveFile/Onion%20cells/Picture/50%25%20stain.JPG");
    EXPECT_EQ(QUrl::fromPercentEncoding(picLine), pic);
    EXPECT_EQ(QUrl::fromPercentEncoding(pathLine(QStringLiteral("Onion cells"))), folder);
    EXPECT_TRUE(pathLine(QStringLiteral("Onion cells")).endsWith("/SaveFile/Onion%20cells"));
}

TEST(Trash, AClipAndItsPictureGoTogether)
{
    testing_support::Sandbox box;
    const QString clip = box.path() + QLatin1String("/Video/20240105103000.avi");
    writeFile(clip, "clip");
    writeFile(clip + QLatin1String(".bmp"), "thumb");
    writeFile(box.path() + QLatin1String("/Video/20240105103000.bmp"), "a picture, no clip");
    EXPECT_EQ(moveShownFileToTrash(clip + QLatin1String(".bmp")), TrashResult::Trashed);
    EXPECT_TRUE(inTrash(QStringLiteral("20240105103000.avi")));
    EXPECT_TRUE(inTrash(QStringLiteral("20240105103000.avi.bmp")));
    EXPECT_TRUE(QFileInfo::exists(box.path() + QLatin1String("/Video/20240105103000.bmp")));
    EXPECT_EQ(clipOfPicture(QStringLiteral("/v/a.bmp")), QString());
    EXPECT_EQ(clipOfPicture(QStringLiteral("/v/a.AVI.JPG")), QStringLiteral("/v/a.AVI"));
}

TEST(Trash, APictureWhoseClipIsGoneStillGoes)
{
    testing_support::Sandbox box;
    const QString thumb = box.path() + QLatin1String("/Video/c.avi.bmp");
    writeFile(thumb, "thumb");
    EXPECT_EQ(moveShownFileToTrash(thumb), TrashResult::Trashed);
    EXPECT_TRUE(inTrash(QStringLiteral("c.avi.bmp")));
}

TEST(Trash, WithoutATrashNothingIsTouched)
{
    testing_support::Sandbox box;
    // A data home that is a plain file: no trash can be made in it.
    const QString blocked = box.path() + QLatin1String("/blocked");
    writeFile(blocked, "not a folder");
    qputenv("XDG_DATA_HOME", QFile::encodeName(blocked));
    const QString clip = box.path() + QLatin1String("/Video/c.avi");
    writeFile(clip, "clip");
    writeFile(clip + QLatin1String(".bmp"), "thumb");
    EXPECT_EQ(moveShownFileToTrash(clip + QLatin1String(".bmp")), TrashResult::NoTrash);
    EXPECT_EQ(moveToTrash(box.path() + QLatin1String("/Video")), TrashResult::NoTrash);
    EXPECT_TRUE(QFileInfo::exists(clip));
    EXPECT_TRUE(QFileInfo::exists(clip + QLatin1String(".bmp")));
    EXPECT_FALSE(QFileInfo::exists(QDir::currentPath() + QLatin1String("/files/c.avi")));  // nothing strays elsewhere

    EXPECT_TRUE(deleteForGood(box.path() + QLatin1String("/Video")));
    EXPECT_FALSE(QFileInfo::exists(box.path() + QLatin1String("/Video")));
}

TEST(Trash, APictureTakesItsSidecarAlong)
{
    testing_support::Sandbox box;
    const QString pic = box.path() + QLatin1String("/Picture/s.bmp");
    writeFile(pic, "picture");
    writeFile(pic + QLatin1String(".vcal"), "scale");
    EXPECT_EQ(moveShownFileToTrash(pic), TrashResult::Trashed);
    EXPECT_TRUE(inTrash(QStringLiteral("s.bmp")));
    EXPECT_TRUE(inTrash(QStringLiteral("s.bmp.vcal")));
    EXPECT_FALSE(QFileInfo::exists(pic + QLatin1String(".vcal")));
}
