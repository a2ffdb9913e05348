// Loading a folder's thumbnails on the worker pool, watching the folder and
// saving copies.
#include "files/core/thumbnail_loader.h"
#include "files/core/thumbnail_save.h"
#include "files/core/thumbnail_watch.h"

#include "picture/core/cx_image.h"
#include "picture/core/picture_metadata.h"

#include "sandbox.h"
#include "thumbnail_testing.h"
#include "wait_for.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QThread>

#include <atomic>

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

using namespace files;
using testing_support::waitFor;
using testing_support::writeFile;
using thumbnail_testing::writePicture;

namespace {

struct Delivery {
    int load;
    QString path;
    bool picture;
    ThumbnailOutcome outcome;
};

// Keeps what a loader delivers, in order.
struct Recorder {
    explicit Recorder(ThumbnailLoader& loader)
    {
        QObject::connect(&loader, &ThumbnailLoader::listed, &context, [this](int load, const QList<ShownFile>& files) {
            listings.append({load, files});
        });
        QObject::connect(&loader, &ThumbnailLoader::thumbnailReady, &context,
                         [this](int load, const QString& path, const QImage& fitted, ThumbnailOutcome outcome) {
                             thumbnails.append({load, path, !fitted.isNull(), outcome});
                         });
        QObject::connect(&loader, &ThumbnailLoader::finished, &context, [this](int load) { finished.append(load); });
    }
    QObject context;
    QList<std::pair<int, QList<ShownFile>>> listings;
    QList<Delivery> thumbnails;
    QList<int> finished;
};

std::shared_ptr<const ThumbnailMaker> uncachedMaker()
{
    return std::make_shared<const ThumbnailMaker>(nullptr);
}

}  // namespace

TEST(ThumbnailLoader, ListsFirstThenDeliversEveryThumbnailOnTheGuiThread)
{
    testing_support::Sandbox box;
    const QString dir = box.path() + QLatin1String("/Picture");
    for (int i = 1; i <= 12; ++i)
        ASSERT_TRUE(writePicture(dir + QStringLiteral("/img%1.jpg").arg(i), 160, 120, i));
    writeFile(dir + QLatin1String("/broken.bmp"), "BM broken");

    ThumbnailLoader loader(uncachedMaker());
    Recorder got(loader);
    QObject::connect(&loader, &ThumbnailLoader::thumbnailReady, &got.context,
                     [&] { EXPECT_EQ(QThread::currentThread(), got.context.thread()); });
    const int load = loader.load(dir);
    ASSERT_TRUE(waitFor([&] { return got.finished.contains(load); }));
    ASSERT_EQ(got.listings.size(), 1);
    EXPECT_EQ(got.listings[0].second.size(), 13);
    EXPECT_EQ(got.listings[0].second[0].shown, QStringLiteral("broken.bmp"));
    EXPECT_EQ(got.listings[0].second[1].shown, QStringLiteral("img1.jpg"));
    EXPECT_EQ(got.listings[0].second[12].shown, QStringLiteral("img12.jpg"));
    ASSERT_EQ(got.thumbnails.size(), 13);
    int pictures = 0;
    for (const Delivery& d : got.thumbnails)
        pictures += d.picture;
    EXPECT_EQ(pictures, 12);
}

TEST(ThumbnailLoader, ANewLoadEndsTheOneBeforeItSoOnlyItsOwnFilesFollow)
{
    testing_support::Sandbox box;
    const QString a = box.path() + QLatin1String("/a"), b = box.path() + QLatin1String("/b");
    for (int i = 0; i < 40; ++i)
        ASSERT_TRUE(writePicture(a + QStringLiteral("/a%1.jpg").arg(i), 640, 480, i));
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(writePicture(b + QStringLiteral("/b%1.jpg").arg(i), 64, 48, i));

    ThumbnailLoader loader(uncachedMaker());
    Recorder got(loader);
    const int first = loader.load(a);
    const int second = loader.load(b);
    ASSERT_TRUE(waitFor([&] { return got.finished.contains(second); }));
    loader.waitForIdle();
    QCoreApplication::processEvents();
    EXPECT_FALSE(got.finished.contains(first));
    int ofSecond = 0;
    for (const Delivery& d : got.thumbnails) {
        EXPECT_TRUE(d.path.startsWith((d.load == first ? a : b) + QLatin1Char('/'))) << d.path.toStdString();
        ofSecond += d.load == second;
    }
    EXPECT_EQ(ofSecond, 3);
    EXPECT_LT(got.thumbnails.size(), 43);  // the first load stopped early
}

TEST(ThumbnailLoader, FilesAddedLaterAreMadeToo)
{
    testing_support::Sandbox box;
    const QString dir = box.path() + QLatin1String("/Picture");
    ASSERT_TRUE(writePicture(dir + QLatin1String("/one.jpg"), 64, 48));
    ThumbnailLoader loader(uncachedMaker());
    Recorder got(loader);
    const int load = loader.load(dir);
    ASSERT_TRUE(waitFor([&] { return got.finished.contains(load); }));
    ASSERT_TRUE(writePicture(dir + QLatin1String("/two.jpg"), 64, 48));
    loader.add({dir + QLatin1String("/two.jpg")});
    ASSERT_TRUE(waitFor([&] { return got.thumbnails.size() == 2; }));
    EXPECT_EQ(got.thumbnails[1].path, dir + QLatin1String("/two.jpg"));
    EXPECT_EQ(got.thumbnails[1].load, load);
}

TEST(ThumbnailLoader, WorkersGiveWayToTheGuiThread)
{
    testing_support::Sandbox box;
    const QString dir = box.path() + QLatin1String("/Picture");
    ASSERT_TRUE(writePicture(dir + QLatin1String("/one.jpg"), 64, 48));
    ThumbnailLoader loader(uncachedMaker());
    Recorder got(loader);
    std::atomic<int> workerNice{-100};
    QObject::connect(
        &loader, &ThumbnailLoader::thumbnailReady, &got.context,
        [&] { workerNice = ::getpriority(PRIO_PROCESS, pid_t(::syscall(SYS_gettid))); }, Qt::DirectConnection);
    const int guiNice = ::getpriority(PRIO_PROCESS, pid_t(::syscall(SYS_gettid)));
    const int load = loader.load(dir);
    ASSERT_TRUE(waitFor([&] { return got.finished.contains(load); }));
    EXPECT_EQ(workerNice, std::min(19, guiNice + 10));
    EXPECT_EQ(::getpriority(PRIO_PROCESS, pid_t(::syscall(SYS_gettid))), guiNice);
}

TEST(ThumbnailLoader, AFileAddedAgainIsMadeAgainEvenWhenOthersAreWantedFirst)
{
    testing_support::Sandbox box;
    const QString dir = box.path() + QLatin1String("/Picture");
    const QString pic = dir + QLatin1String("/one.jpg");
    ASSERT_TRUE(writePicture(pic, 64, 48));
    ThumbnailLoader loader(uncachedMaker());
    Recorder got(loader);
    const int load = loader.load(dir);
    ASSERT_TRUE(waitFor([&] { return got.finished.contains(load); }));
    // The file changed; the view then asks for other files first.
    loader.add({pic});
    loader.prioritise({});
    ASSERT_TRUE(waitFor([&] { return got.thumbnails.size() == 2 && got.finished.size() == 2; }));
    EXPECT_EQ(got.thumbnails[1].path, pic);
}

TEST(ThumbnailBadInput, AFolderOfHostileEntriesLoadsToTheEnd)
{
    testing_support::Sandbox box;
    const QString dir = box.path() + QLatin1String("/Picture");
    ASSERT_TRUE(writePicture(dir + QLatin1String("/good.jpg"), 64, 48));
    ASSERT_TRUE(writePicture(dir + QLatin1String("/deleted.jpg"), 64, 48));
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir + QLatin1String("/x.bmp")).constData(), 0600), 0);
    ASSERT_TRUE(QDir().mkpath(dir + QLatin1String("/a.jpg")));
    ASSERT_EQ(::symlink("loop.jpg", QFile::encodeName(dir + QLatin1String("/loop.jpg")).constData()), 0);
    writeFile(dir + QLatin1String("/empty.jpg"), QByteArray());
    // A name that is no UTF-8 cannot be named in the program's paths: it is
    // left out, and the rest of the folder loads.
    const QByteArray raw = QFile::encodeName(dir) + "/\xff\xfe.jpg";
    QFile::copy(dir + QLatin1String("/good.jpg"), dir + QLatin1String("/copy.jpg"));
    ASSERT_EQ(::rename(QFile::encodeName(dir + QLatin1String("/copy.jpg")).constData(), raw.constData()), 0);

    ThumbnailLoader loader(uncachedMaker());
    Recorder got(loader);
    // The file goes once the folder is listed, before its thumbnail is made.
    QObject::connect(
        &loader, &ThumbnailLoader::listed, &got.context, [&] { QFile::remove(dir + QLatin1String("/deleted.jpg")); },
        Qt::DirectConnection);
    const int load = loader.load(dir);
    ASSERT_TRUE(waitFor([&] { return got.finished.contains(load); }));
    QStringList names;
    for (const ShownFile& f : got.listings[0].second)
        names << f.shown;
    EXPECT_EQ(names, (QStringList{QStringLiteral("deleted.jpg"), QStringLiteral("empty.jpg"), QStringLiteral("good.jpg")}));
    ASSERT_EQ(got.thumbnails.size(), 3);
    for (const Delivery& d : got.thumbnails) {
        if (d.path.endsWith(QLatin1String("good.jpg")))
            EXPECT_EQ(d.outcome, ThumbnailOutcome::Made);
        else if (d.path.endsWith(QLatin1String("deleted.jpg")))
            EXPECT_EQ(d.outcome, ThumbnailOutcome::Gone);
        else
            EXPECT_EQ(d.outcome, ThumbnailOutcome::NoPicture);
    }
}

TEST(SettlingFiles, ANewFileCountsOnceItsSizeStaysTheSame)
{
    SettlingFiles files;
    const ShownFile old{QStringLiteral("old.jpg"), QStringLiteral("/p/old.jpg"), QString()};
    const ShownFile fresh{QStringLiteral("new.jpg"), QStringLiteral("/p/new.jpg"), QString()};
    files.reset({old});

    SettlingFiles::Change c = files.look({old, fresh}, {{fresh.path, 100}});
    EXPECT_TRUE(c.appeared.isEmpty());
    EXPECT_TRUE(c.settling);
    c = files.look({old, fresh}, {{fresh.path, 5000}});
    EXPECT_TRUE(c.appeared.isEmpty());
    EXPECT_TRUE(c.settling);
    c = files.look({old, fresh}, {{fresh.path, 5000}});
    ASSERT_EQ(c.appeared.size(), 1);
    EXPECT_EQ(c.appeared[0].path, fresh.path);
    EXPECT_FALSE(c.settling);

    c = files.look({fresh}, {});
    EXPECT_EQ(c.vanished, QStringList{old.path});
    EXPECT_TRUE(c.appeared.isEmpty());
}

TEST(SettlingFiles, AnEmptyFileWaitsWithoutBeingPolledAndASavedOneCountsAtOnce)
{
    SettlingFiles files;
    const ShownFile empty{QStringLiteral("e.jpg"), QStringLiteral("/p/e.jpg"), QString()};
    SettlingFiles::Change c = files.look({empty}, {{empty.path, 0}});
    EXPECT_FALSE(c.settling);
    c = files.look({empty}, {{empty.path, 0}});
    EXPECT_TRUE(c.appeared.isEmpty());
    c = files.look({empty}, {{empty.path, 0}}, true);
    EXPECT_EQ(c.appeared.size(), 1);
}

TEST(FolderWatch, APictureAnotherProgramPutsThereAppearsOnce)
{
    testing_support::Sandbox box;
    const QString dir = box.path() + QLatin1String("/Picture");
    ASSERT_TRUE(QDir().mkpath(dir));
    FolderWatch watch;
    watch.setSettleInterval(50);
    QStringList appeared;
    QObject::connect(&watch, &FolderWatch::appeared, [&](const ShownFile& f) { appeared << f.path; });
    watch.watch(dir, {});
    ASSERT_TRUE(writePicture(dir + QLatin1String("/Outside.JPG"), 64, 48));
    writeFile(dir + QLatin1String("/notes.txt"), "not a picture");
    ASSERT_TRUE(waitFor([&] { return !appeared.isEmpty(); }));
    waitFor([] { return false; }, 300);
    EXPECT_EQ(appeared, QStringList{dir + QLatin1String("/Outside.JPG")});
}

TEST(ThumbnailSave, APictureIsSavedInTheOtherFormatAtTheChosenSizeAndDpi)
{
    testing_support::Sandbox box;
    const QString bmp = box.path() + QLatin1String("/pic.bmp");
    ASSERT_TRUE(writePicture(bmp, 300, 200));
    const QString jpg = box.path() + QLatin1String("/out/copy.jpg");
    QDir().mkpath(box.path() + QLatin1String("/out"));
    ASSERT_EQ(savePictureCopy(bmp, jpg, 2, 300), QString());
    QImageReader reader(jpg);
    EXPECT_EQ(reader.format(), QByteArray("jpeg"));
    EXPECT_EQ(reader.size(), QSize(150, 100));
    CxImage back;
    ASSERT_TRUE(back.Load(QFile::encodeName(jpg).toStdString(), CXIMAGE_FORMAT_JPG));
    EXPECT_EQ(back.GetXDPI(), 300);

    // Nothing to change: the very bytes; and never over the picture itself.
    const QString same = box.path() + QLatin1String("/out/same.bmp");
    CxImage source;
    ASSERT_TRUE(source.Load(QFile::encodeName(bmp).toStdString(), CXIMAGE_FORMAT_BMP));
    ASSERT_EQ(savePictureCopy(bmp, same, 1, source.GetXDPI()), QString());
    EXPECT_EQ(testing_support::readFile(same), testing_support::readFile(bmp));
    const QByteArray before = testing_support::readFile(bmp);
    EXPECT_NE(savePictureCopy(bmp, bmp, 2, 96), QString());
    EXPECT_EQ(testing_support::readFile(bmp), before);
}

TEST(ThumbnailSave, TheCopyCarriesTheSourcesScaleMadeForItsSize)
{
    testing_support::Sandbox box;
    const QString bmp = box.path() + QLatin1String("/snap.bmp");
    ASSERT_TRUE(writePicture(bmp, 640, 480));
    picture::PictureMetadata metadata;
    metadata.scale = picture::PictureScale{100.0, QStringLiteral("mm"), QStringLiteral("10x"), QSize(640, 480)};
    metadata.camera = QStringLiteral("Scope");
    metadata.dpi = 96;
    ASSERT_TRUE(picture::writeSidecar(bmp, metadata));

    const QString half = box.path() + QLatin1String("/half.jpg");
    ASSERT_EQ(savePictureCopy(bmp, half, 2, 300), QString());
    const auto inJpeg = picture::readPictureMetadata(half);
    ASSERT_TRUE(inJpeg && inJpeg->scale);
    EXPECT_DOUBLE_EQ(inJpeg->scale->pixelsPerUnit, 50.0);
    EXPECT_EQ(inJpeg->scale->size, QSize(320, 240));
    EXPECT_EQ(inJpeg->camera, QStringLiteral("Scope"));

    const QString back = box.path() + QLatin1String("/back.bmp");
    ASSERT_EQ(savePictureCopy(half, back, 1, 300), QString());
    EXPECT_EQ(picture::readSidecar(back), inJpeg);
    // A byte-for-byte copy takes the sidecar along too.
    const QString same = box.path() + QLatin1String("/same.bmp");
    CxImage source;
    ASSERT_TRUE(source.Load(QFile::encodeName(bmp).toStdString(), CXIMAGE_FORMAT_BMP));
    ASSERT_EQ(savePictureCopy(bmp, same, 1, source.GetXDPI()), QString());
    EXPECT_EQ(picture::readSidecar(same), metadata);
}

TEST(ThumbnailSave, CopiesIntoAFolderKeepWhatIsThere)
{
    testing_support::Sandbox box;
    writeFile(box.path() + QLatin1String("/a.bmp"), "a");
    writeFile(box.path() + QLatin1String("/a.bmp.vcal"), "scale");
    writeFile(box.path() + QLatin1String("/b.jpg"), "b");
    writeFile(box.path() + QLatin1String("/to/b.jpg"), "theirs");
    const QStringList kept = copyInto({box.path() + QLatin1String("/a.bmp"), box.path() + QLatin1String("/b.jpg")},
                                      box.path() + QLatin1String("/to"));
    EXPECT_EQ(kept, QStringList{QStringLiteral("b.jpg")});
    EXPECT_EQ(testing_support::readFile(box.path() + QLatin1String("/to/a.bmp")), QByteArray("a"));
    EXPECT_EQ(testing_support::readFile(box.path() + QLatin1String("/to/a.bmp.vcal")), QByteArray("scale"));
    EXPECT_EQ(testing_support::readFile(box.path() + QLatin1String("/to/b.jpg")), QByteArray("theirs"));
}
