#include "thumbnail_maker.h"

#include "thumbnail_decode.h"
#include "thumbnail_geometry.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace files {

namespace {

// A file changed within the last seconds may still be being written, within
// the same second as its recorded time: what is made of it now is not kept,
// or the cache would hold the half-written state for good.
constexpr qint64 kSettleSeconds = 2;

enum class ReadResult { Read, Gone, NotAFile, TooLarge };

// Reads a regular file whole. Opened without blocking (a pipe or device that
// took a picture's name would otherwise hang the reader) and checked to be a
// regular file once opened.
ReadResult readRegularFile(const QByteArray& path, QByteArray& bytes)
{
    const int fd = ::open(path.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return ReadResult::Gone;
    struct stat st {};
    ReadResult result = ReadResult::Read;
    if (::fstat(fd, &st) != 0)
        result = ReadResult::Gone;
    else if (!S_ISREG(st.st_mode))
        result = ReadResult::NotAFile;
    else if (st.st_size > kMaxThumbnailFileBytes)
        result = ReadResult::TooLarge;
    if (result == ReadResult::Read) {
        bytes.resize(qsizetype(st.st_size));
        qsizetype got = 0;
        while (got < bytes.size()) {
            const ssize_t n = ::read(fd, bytes.data() + got, size_t(bytes.size() - got));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                break;
            got += n;
        }
        bytes.truncate(got);  // the file shrank while being read: what is there
    }
    ::close(fd);
    return result;
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

    QByteArray bytes;
    switch (readRegularFile(encoded, bytes)) {
    case ReadResult::Gone: return {{}, ThumbnailOutcome::Gone};
    case ReadResult::NotAFile: return {{}, ThumbnailOutcome::NotAFile};
    case ReadResult::TooLarge: return {{}, ThumbnailOutcome::NoPicture};
    case ReadResult::Read: break;
    }
    const bool settled = QDateTime::currentSecsSinceEpoch() - mtime >= kSettleSeconds;
    const DecodedPicture picture = decodeForThumbnail(bytes, pictureKindOf(QFileInfo(path).fileName()),
                                                      ThumbnailCache::kNormalSide);
    if (picture.image.isNull()) {
        if (m_cache && settled && !bytes.isEmpty())
            m_cache->writeFailure(uri, mtime);
        return {{}, ThumbnailOutcome::NoPicture};
    }
    if (m_cache && settled && !picture.cut) {
        const QSize normal = picture.image.size().scaled(ThumbnailCache::kNormalSide, ThumbnailCache::kNormalSide,
                                                         Qt::KeepAspectRatio);
        const QImage stored = picture.image.width() > normal.width() || picture.image.height() > normal.height()
            ? picture.image.scaled(normal, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
            : picture.image;
        m_cache->write(uri, mtime, stored, picture.fullSize);
    }
    return {fitThumbnail(picture.image, picture.fullSize), ThumbnailOutcome::Made};
}

}  // namespace files
