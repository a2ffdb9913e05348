// The metadata every written picture carries: its round trips through JPEG
// and a BMP's sidecar, what the standard readers make of our Exif, and
// hostile blocks that must read as nothing.
#include "picture/core/picture_metadata.h"
#include "picture/core/picture_writer.h"

#include "picture_testing.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace picture;
using namespace picture_testing;

namespace {

PictureMetadata sample()
{
    PictureMetadata m;
    m.scale = PictureScale{152.0375, QStringLiteral("um"), QStringLiteral("40x objectif – lamelle"), QSize(64, 48)};
    m.taken = QDateTime(QDate(2026, 3, 4), QTime(10, 20, 30, 450));
    m.slot = 2;
    m.camera = QStringLiteral("Scope Cam 5MP");
    m.dpi = 150;
    return m;
}

struct Written {
    QTemporaryDir dir;
    QString path;
};

// The 64 x 48 test picture written with `metadata` as `name`.
void write(Written& w, const QString& name, const std::optional<PictureMetadata>& metadata)
{
    w.path = w.dir.filePath(name);
    const uint32_t format = name.endsWith(QLatin1String(".bmp")) ? CXIMAGE_FORMAT_BMP : CXIMAGE_FORMAT_JPG;
    ASSERT_EQ(writePictureFile(patterned(64, 48, 24), w.path, format, metadata), QString());
}

// A program's standard output, or the test is skipped where it is missing.
struct Output {
    QByteArray out;
    QByteArray err;
};
Output run(const QString& program, const QStringList& arguments)
{
    QProcess p;
    p.start(program, arguments);
    EXPECT_TRUE(p.waitForFinished(60000)) << program.toStdString();
    return {p.readAllStandardOutput(), p.readAllStandardError()};
}

// A JPEG whose only Exif is `tiff` (the TIFF block, after "Exif\0\0").
std::vector<uint8_t> withExif(const QByteArray& tiff)
{
    const QByteArray plain = encode(patterned(16, 16, 24), CXIMAGE_FORMAT_JPG);
    std::vector<uint8_t> out{0xFF, 0xD8, 0xFF, 0xE1};
    const size_t length = size_t(tiff.size()) + 8;
    out.push_back(uint8_t(length >> 8));
    out.push_back(uint8_t(length));
    out.insert(out.end(), {'E', 'x', 'i', 'f', 0, 0});
    out.insert(out.end(), tiff.begin(), tiff.end());
    out.insert(out.end(), plain.begin() + 2, plain.end());
    return out;
}

// Little-endian TIFF fields, written as they come.
struct Tiff {
    QByteArray bytes = QByteArray("II*\0", 4);
    Tiff& u16(uint16_t v)
    {
        bytes.append(char(v & 0xFF)).append(char(v >> 8));
        return *this;
    }
    Tiff& u32(uint32_t v) { return u16(uint16_t(v)).u16(uint16_t(v >> 16)); }
    Tiff& entry(uint16_t tag, uint16_t type, uint32_t count, uint32_t value) { return u16(tag).u16(type).u32(count).u32(value); }
};

}  // namespace

TEST(PictureMetadata, SurvivesJpegAndBmpSidecar)
{
    for (const char* name : {"a.jpg", "a.bmp"}) {
        Written w;
        write(w, QString::fromLatin1(name), sample());
        const auto read = readPictureMetadata(w.path);
        ASSERT_TRUE(read) << name;
        EXPECT_EQ(*read, sample()) << name;
        CxImage opened;
        EXPECT_TRUE(opened.Load(w.path.toStdString(), CXIMAGE_FORMAT_UNKNOWN)) << name;
        EXPECT_EQ(opened.GetWidth(), 64u);
    }
}

TEST(PictureMetadata, WithoutAnyReadsAsNoneAndDropsAStaleSidecar)
{
    Written w;
    write(w, QStringLiteral("b.bmp"), sample());
    ASSERT_TRUE(QFile::exists(sidecarPath(w.path)));
    write(w, QStringLiteral("b.bmp"), std::nullopt);
    EXPECT_FALSE(QFile::exists(sidecarPath(w.path)));
    EXPECT_FALSE(readPictureMetadata(w.path));
    write(w, QStringLiteral("b.jpg"), std::nullopt);
    EXPECT_FALSE(readPictureMetadata(w.path));
}

TEST(PictureMetadata, EmbeddingAgainReplacesTheOldSegments)
{
    const QByteArray plain = encode(patterned(64, 48, 24), CXIMAGE_FORMAT_JPG);
    std::vector<uint8_t> jpeg(plain.begin(), plain.end());
    PictureMetadata first = sample();
    first.camera = QStringLiteral("First");
    ASSERT_TRUE(embedMetadata(jpeg, first, patterned(64, 48, 24).ToQImage()));
    const size_t once = jpeg.size();
    ASSERT_TRUE(embedMetadata(jpeg, sample(), patterned(64, 48, 24).ToQImage()));
    EXPECT_NEAR(double(jpeg.size()), double(once), 16.0);
    EXPECT_EQ(readJpegMetadata(jpeg.data(), jpeg.size()), sample());
    std::vector<uint8_t> notJpeg{'B', 'M', 0, 0};
    EXPECT_FALSE(embedMetadata(notJpeg, sample(), QImage()));
    EXPECT_EQ(notJpeg, (std::vector<uint8_t>{'B', 'M', 0, 0}));
}

TEST(PictureMetadata, ScaleFollowsThePictureSize)
{
    PictureMetadata m = sample();
    m.scale->size = QSize(640, 480);
    const PictureMetadata half = scaledTo(m, QSize(320, 240));
    EXPECT_DOUBLE_EQ(half.scale->pixelsPerUnit, m.scale->pixelsPerUnit / 2);
    EXPECT_EQ(half.scale->size, QSize(320, 240));
    EXPECT_EQ(half.camera, m.camera);
    PictureMetadata none = sample();
    none.scale.reset();
    EXPECT_EQ(scaledTo(none, QSize(10, 10)), none);
}

TEST(PictureMetadata, ExiftoolAndExiv2ReadOurExifWithoutWarnings)
{
    const QString exiftool = QStandardPaths::findExecutable(QStringLiteral("exiftool"));
    const QString exiv2 = QStandardPaths::findExecutable(QStringLiteral("exiv2"));
    if (exiftool.isEmpty() || exiv2.isEmpty())
        GTEST_SKIP() << "exiftool or exiv2 missing";
    Written w;
    write(w, QStringLiteral("c.jpg"), sample());

    const QJsonObject tags =
        QJsonDocument::fromJson(run(exiftool, {QStringLiteral("-j"), QStringLiteral("-n"), w.path}).out).array().at(0).toObject();
    EXPECT_EQ(tags.value(QStringLiteral("DateTimeOriginal")).toString(), QStringLiteral("2026:03:04 10:20:30"));
    EXPECT_EQ(tags.value(QStringLiteral("Make")).toString(), QStringLiteral("Vellumet"));
    EXPECT_EQ(tags.value(QStringLiteral("Model")).toString(), QStringLiteral("Scope Cam 5MP"));
    EXPECT_EQ(tags.value(QStringLiteral("XResolution")).toDouble(), 150.0);
    EXPECT_EQ(tags.value(QStringLiteral("YResolution")).toDouble(), 150.0);
    EXPECT_EQ(tags.value(QStringLiteral("ResolutionUnit")).toInt(), 2);
    EXPECT_EQ(tags.value(QStringLiteral("PixelsPerUnit")).toDouble(), 152.0375);

    const QByteArray thumbnail = run(exiftool, {QStringLiteral("-b"), QStringLiteral("-ThumbnailImage"), w.path}).out;
    CxImage thumb;
    ASSERT_TRUE(decode(thumbnail, CXIMAGE_FORMAT_JPG, thumb));
    EXPECT_EQ(thumb.GetWidth(), 160u);
    EXPECT_EQ(thumb.GetHeight(), 120u);

    const Output validated = run(exiftool,
                                 {QStringLiteral("-validate"), QStringLiteral("-warning"), QStringLiteral("-a"), w.path});
    EXPECT_FALSE(validated.out.contains("Warning")) << validated.out.toStdString();
    const Output printed = run(exiv2, {QStringLiteral("-pa"), w.path});
    EXPECT_TRUE(printed.err.isEmpty()) << printed.err.toStdString();
    EXPECT_TRUE(printed.out.contains("Exif.Photo.DateTimeOriginal")) << printed.out.toStdString();
    EXPECT_TRUE(printed.out.contains("Exif.Thumbnail.JPEGInterchangeFormatLength")) << printed.out.toStdString();
}

TEST(PictureMetadata, HostileExifReadsAsNothingAndThePictureStillOpens)
{
    const std::vector<std::pair<const char*, QByteArray>> blocks{
        {"IFD past the end", Tiff().u32(0xFFFFFFF0).bytes},
        {"IFDs pointing at each other", Tiff().u32(8).u16(1).entry(0x8769, 4, 1, 8).u32(8).bytes},
        {"4 GB count", Tiff().u32(8).u16(1).entry(0x0110, 2, 0xFFFFFFFF, 8).u32(0).bytes},
        {"value past the end", Tiff().u32(8).u16(1).entry(0x0110, 2, 40, 1000).u32(0).bytes},
        {"more entries than bytes", Tiff().u32(8).u16(0xFFFF).entry(0x010F, 2, 4, 0x41414141).bytes},
        {"thumbnail past the file",
         Tiff().u32(8).u16(0).u32(14).u16(2).entry(0x0201, 4, 1, 40).entry(0x0202, 4, 1, 0x7FFFFFFF).u32(0).bytes},
        {"odd IFD offset", Tiff().u32(9).bytes},
        {"rational over zero", Tiff().u32(8).u16(1).entry(0x011A, 5, 1, 26).u32(0).u32(300).u32(0).bytes},
    };
    for (const auto& [what, tiff] : blocks) {
        const std::vector<uint8_t> jpeg = withExif(tiff);
        EXPECT_FALSE(readJpegMetadata(jpeg.data(), jpeg.size())) << what;
        CxImage opened;
        EXPECT_TRUE(
            decode(QByteArray(reinterpret_cast<const char*>(jpeg.data()), qsizetype(jpeg.size())), CXIMAGE_FORMAT_JPG, opened))
            << what;
        // Cut anywhere, it never reads past its end.
        for (size_t cut = 0; cut < jpeg.size() && cut < 160; ++cut)
            (void)readJpegMetadata(std::vector<uint8_t>(jpeg.begin(), jpeg.begin() + std::ptrdiff_t(cut)).data(), cut);
    }
    // A segment longer than the file.
    std::vector<uint8_t> cut{0xFF, 0xD8, 0xFF, 0xE1, 0xFF, 0xFF, 'E', 'x', 'i', 'f', 0, 0, 'I', 'I', 42, 0};
    EXPECT_FALSE(readJpegMetadata(cut.data(), cut.size()));
}

TEST(PictureMetadata, DamagedSidecarReadsAsNoneUnknownKeysAreIgnored)
{
    Written w;
    write(w, QStringLiteral("d.bmp"), sample());
    QFile file(sidecarPath(w.path));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray whole = file.readAll();
    file.close();
    const auto readWith = [&](const QByteArray& text) {
        QFile out(sidecarPath(w.path));
        EXPECT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        out.write(text);
        out.close();
        return readSidecar(w.path);
    };
    EXPECT_EQ(readWith(QByteArray("colour=blue\n") + whole), sample());
    EXPECT_FALSE(readWith(whole.left(whole.size() - 3)));
    EXPECT_FALSE(readWith(whole.left(whole.size() / 2)));
    EXPECT_FALSE(readWith(QByteArray(whole).replace("pixelsPerUnit=152", "pixelsPerUnit=x52")));
    EXPECT_FALSE(readWith(QByteArray(whole).replace("unit=um", "unit=")));
    EXPECT_FALSE(readWith(QByteArray(whole).replace("Scope", "Sc\xff\xfe")));
    EXPECT_FALSE(readWith(QByteArray()));
}
