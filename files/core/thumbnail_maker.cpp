#include "thumbnail_maker.h"

#include "thumbnail_decode.h"
#include "thumbnail_embedded.h"
#include "thumbnail_geometry.h"

#include "picture/core/cx_file.h"
#include "picture/core/exif_thumbnail.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace files {

namespace {

// A file changed within the last seconds may still be being written, within
// the same second as its recorded time: what is made of it now is not kept,
// or the cache would hold the half-written state for good.
constexpr qint64 kSettleSeconds = 2;

// A JPEG's Exif block lies in its first 64 KiB (a segment holds no more);
// the frame header after it is looked for a little further, then the
// picture is decoded instead.
constexpr qsizetype kHeadBytes = 64 * 1024;
constexpr qsizetype kMostHeadBytes = 256 * 1024;

enum class OpenResult { Opened, Gone, NotAFile, TooLarge };

// A regular file opened for reading. Opened without blocking (a pipe or
// device that took a picture's name would otherwise hang the reader) and
// checked to be a regular file once opened. Read at positions, so a BMP's
// rows can be read one by one.
class PictureFile final : public CxFile {
public:
    ~PictureFile() override
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }

    OpenResult open(const QByteArray& path)
    {
        m_fd = ::open(path.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
        if (m_fd < 0)
            return OpenResult::Gone;
        struct stat st {};
        if (::fstat(m_fd, &st) != 0)
            return OpenResult::Gone;
        if (!S_ISREG(st.st_mode))
            return OpenResult::NotAFile;
        if (st.st_size > kMaxThumbnailFileBytes)
            return OpenResult::TooLarge;
        m_size = st.st_size;
        return OpenResult::Opened;
    }

    // Reads on at the end of `bytes` until it holds `upTo` bytes or the file
    // ends (it may have shrunk while being read: then what is there).
    void readInto(QByteArray& bytes, qint64 upTo)
    {
        const qsizetype start = bytes.size();
        bytes.resize(qsizetype(std::clamp(upTo, qint64(start), m_size)));
        bytes.truncate(start + qsizetype(readAt(bytes.data() + start, size_t(bytes.size() - start), start)));
    }

    size_t Read(void* buffer, size_t size) override
    {
        const size_t got = readAt(buffer, size, m_pos);
        m_pos += qint64(got);
        return got;
    }
    size_t Write(const void*, size_t) override { return 0; }
    bool Seek(int64_t offset, int origin) override
    {
        const int64_t base = origin == SEEK_CUR ? m_pos : origin == SEEK_END ? m_size : 0;
        if (base + offset < 0 || base + offset > m_size)
            return false;
        m_pos = base + offset;
        return true;
    }
    int64_t Tell() const override { return m_pos; }
    int64_t Size() const override { return m_size; }
    bool Flush() override { return true; }

private:
    size_t readAt(void* buffer, size_t size, qint64 at) const
    {
        size_t got = 0;
        while (got < size) {
            const ssize_t n = ::pread(m_fd, static_cast<char*>(buffer) + got, size - got, off_t(at) + off_t(got));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                break;
            got += size_t(n);
        }
        return got;
    }

    int m_fd = -1;
    qint64 m_size = 0;
    qint64 m_pos = 0;
};

// The picture made to fit `side` by a whole factor, each pixel the mean of
// its block: as good as a smooth scale for a cache entry, at a fraction of
// the cost.
QImage shrinkToFit(const QImage& image, int side)
{
    const int factor = (std::max(image.width(), image.height()) + side - 1) / side;
    if (factor <= 1)
        return image;
    if (image.format() != QImage::Format_RGB32) {
        const QSize normal = image.size().scaled(side, side, Qt::KeepAspectRatio);
        return image.scaled(normal, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    // Whole blocks only: the last row or column short of one is left out.
    const int width = std::max(1, image.width() / factor), height = std::max(1, image.height() / factor);
    const int across = std::min(factor, image.width()), down = std::min(factor, image.height());
    const uint32_t n = uint32_t(across * down);
    QImage out(width, height, QImage::Format_RGB32);
    std::vector<uint32_t> sums(size_t(width) * 3);
    for (int y = 0; y < height; ++y) {
        std::fill(sums.begin(), sums.end(), 0);
        for (int sy = y * factor; sy < y * factor + down; ++sy) {
            const auto* in = reinterpret_cast<const QRgb*>(image.constScanLine(sy));
            uint32_t* sum = sums.data();
            for (int x = 0; x < width; ++x, sum += 3)
                for (int k = 0; k < across; ++k, ++in) {
                    sum[0] += qRed(*in);
                    sum[1] += qGreen(*in);
                    sum[2] += qBlue(*in);
                }
        }
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < width; ++x)
            line[x] = qRgb(int((sums[3 * x] + n / 2) / n), int((sums[3 * x + 1] + n / 2) / n),
                           int((sums[3 * x + 2] + n / 2) / n));
    }
    return out;
}

bool startsLikeJpeg(const QByteArray& head)
{
    return head.startsWith("\xFF\xD8");
}

// The Exif thumbnail when the JPEG carries one that can stand for it in the
// tile; `head` holds the file's first bytes and may be read on.
Thumbnail fromEmbedded(PictureFile& file, QByteArray& head)
{
    const auto scan = [&] {
        return picture::readJpegHead(reinterpret_cast<const uint8_t*>(head.constData()), size_t(head.size()));
    };
    picture::JpegHead jpeg = scan();
    while (jpeg.needed > size_t(head.size()) && jpeg.needed <= size_t(kMostHeadBytes) && head.size() < file.Size()) {
        file.readInto(head, std::max(qint64(jpeg.needed), qint64(head.size()) * 2));
        jpeg = scan();
    }
    if (!jpeg.thumbnail || jpeg.width <= 0 || jpeg.height <= 0)
        return {};
    const QSize fullSize(jpeg.width, jpeg.height);
    const QImage picture = embeddedThumbnail(
        QByteArray::fromRawData(head.constData() + jpeg.thumbnail->offset, qsizetype(jpeg.thumbnail->length)), fullSize);
    if (picture.isNull())
        return {};
    return {fitThumbnail(picture, fullSize), ThumbnailOutcome::Embedded};
}

}  // namespace

Thumbnail ThumbnailMaker::make(const QString& path) const
{
    const QByteArray encoded = QFile::encodeName(path);
    struct stat st {};
    if (::stat(encoded.constData(), &st) != 0)
        return {{}, ThumbnailOutcome::Gone};
    if (!S_ISREG(st.st_mode))
        return {{}, ThumbnailOutcome::NotAFile};

    const qint64 mtime = st.st_mtim.tv_sec;
    const QByteArray uri = ThumbnailCache::fileUri(encoded);
    if (m_cache) {
        QSize fullSize;
        const QImage cached = m_cache->read(uri, mtime, &fullSize);
        if (!cached.isNull())
            return {fitThumbnail(cached, fullSize), ThumbnailOutcome::FromCache};
        if (m_cache->failedBefore(uri, mtime))
            return {{}, ThumbnailOutcome::NoPicture};
    }

    PictureFile file;
    switch (file.open(encoded)) {
    case OpenResult::Gone: return {{}, ThumbnailOutcome::Gone};
    case OpenResult::NotAFile: return {{}, ThumbnailOutcome::NotAFile};
    case OpenResult::TooLarge: return {{}, ThumbnailOutcome::NoPicture};
    case OpenResult::Opened: break;
    }
    const bool settled = QDateTime::currentSecsSinceEpoch() - mtime >= kSettleSeconds;
    const PictureKind kind = pictureKindOf(QFileInfo(path).fileName());
    const int side = ThumbnailCache::kNormalSide;

    QByteArray bytes;
    DecodedPicture picture;
    bool decodeWhole = kind != PictureKind::None;
    if (decodeWhole) {
        file.readInto(bytes, kHeadBytes);
        if (startsLikeJpeg(bytes)) {
            Thumbnail embedded = fromEmbedded(file, bytes);
            if (embedded.outcome == ThumbnailOutcome::Embedded)
                return embedded;
        } else if (bytes.startsWith("BM")) {
            picture = sampleBmpForThumbnail(file, side, &decodeWhole);
        }
    }
    if (decodeWhole) {
        file.readInto(bytes, file.Size());
        picture = decodeForThumbnail(bytes, kind, side);
    }
    if (picture.image.isNull()) {
        if (m_cache && settled && file.Size() > 0)
            m_cache->writeFailure(uri, mtime);
        return {{}, ThumbnailOutcome::NoPicture};
    }
    if (m_cache && settled && !picture.cut)
        m_cache->write(uri, mtime, shrinkToFit(picture.image, side), picture.fullSize);
    return {fitThumbnail(picture.image, picture.fullSize), ThumbnailOutcome::Made};
}

}  // namespace files
