#include "thumbnail_cache.h"

#include "png_entry.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QStandardPaths>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace files {

namespace {

const char kUriKey[] = "Thumb::URI";
const char kMTimeKey[] = "Thumb::MTime";
const char kWidthKey[] = "Thumb::Image::Width";
const char kHeightKey[] = "Thumb::Image::Height";

// Characters a file URI keeps as they are; everything else is %-escaped,
// byte by byte, so thumbnails share names with the other desktop programs.
bool keptInUri(unsigned char c)
{
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))
        return true;
    return std::strchr("-_.!~*'()/:@&=+$,", c) != nullptr && c != 0;
}

bool makeFolder(const QString& path)
{
    return ::mkdir(QFile::encodeName(path).constData(), 0700) == 0 || errno == EEXIST;
}

// Read from the image, not the reader: before reading, Qt takes "::" in a
// PNG text key for the end of the key.
bool entryMatches(const QImage& entry, const QByteArray& uri, qint64 mtime)
{
    return entry.text(QLatin1String(kUriKey)).toLatin1() == uri && entry.text(QLatin1String(kMTimeKey)) == QString::number(mtime);
}

}  // namespace

ThumbnailCache::ThumbnailCache(const QString& root)
    : m_root(root.isEmpty()
                 ? QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) + QLatin1String("/thumbnails")
                 : root)
{
}

QByteArray ThumbnailCache::fileUri(const QByteArray& encodedPath)
{
    static const char hex[] = "0123456789ABCDEF";
    QByteArray uri("file://");
    uri.reserve(uri.size() + encodedPath.size() * 3);
    for (const char ch : encodedPath) {
        const auto c = static_cast<unsigned char>(ch);
        if (keptInUri(c)) {
            uri.append(ch);
        } else {
            uri.append('%');
            uri.append(hex[c >> 4]);
            uri.append(hex[c & 15]);
        }
    }
    return uri;
}

QString ThumbnailCache::thumbnailPath(const QByteArray& uri) const
{
    return m_root + QLatin1String("/normal/") + QLatin1String(QCryptographicHash::hash(uri, QCryptographicHash::Md5).toHex())
        + QLatin1String(".png");
}

QString ThumbnailCache::failurePath(const QByteArray& uri) const
{
    return m_root + QLatin1String("/fail/vellumet/")
        + QLatin1String(QCryptographicHash::hash(uri, QCryptographicHash::Md5).toHex()) + QLatin1String(".png");
}

QImage ThumbnailCache::read(const QByteArray& uri, qint64 mtime, QSize* fullSize) const
{
    // Most looks find nothing: that answer costs one failed open.
    QFile file(thumbnailPath(uri));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QImageReader reader(&file, "png");
    const QSize size = reader.size();
    // Other programs store "large" ones under their own folder; anything
    // bigger here is no thumbnail.
    if (size.isEmpty() || size.width() > 2 * kNormalSide || size.height() > 2 * kNormalSide)
        return {};
    QImage image = reader.read();
    if (image.isNull() || !entryMatches(image, uri, mtime))
        return {};
    if (fullSize) {
        bool wOk = false, hOk = false;
        const int w = image.text(QLatin1String(kWidthKey)).toInt(&wOk);
        const int h = image.text(QLatin1String(kHeightKey)).toInt(&hOk);
        *fullSize = wOk && hOk && w > 0 && h > 0 ? QSize(w, h) : image.size();
    }
    return image;
}

bool ThumbnailCache::failedBefore(const QByteArray& uri, qint64 mtime) const
{
    const QString path = failurePath(uri);
    if (!QFile::exists(path))
        return false;
    QImageReader reader(path, "png");
    const QSize size = reader.size();
    return size.isValid() && size.width() <= 16 && size.height() <= 16 && entryMatches(reader.read(), uri, mtime);
}

bool ThumbnailCache::write(const QByteArray& uri, qint64 mtime, const QImage& thumbnail, QSize fullSize) const
{
    if (thumbnail.isNull() || !makeFolders())
        return false;
    return store(thumbnailPath(uri),
                 storedPng(thumbnail,
                           {{kUriKey, uri},
                            {kMTimeKey, QByteArray::number(mtime)},
                            {kWidthKey, QByteArray::number(fullSize.width())},
                            {kHeightKey, QByteArray::number(fullSize.height())},
                            {"Software", "Vellumet"}}));
}

bool ThumbnailCache::writeFailure(const QByteArray& uri, qint64 mtime) const
{
    if (!makeFolders())
        return false;
    QImage mark(1, 1, QImage::Format_ARGB32);
    mark.fill(Qt::transparent);
    return store(failurePath(uri), storedPng(mark, {{kUriKey, uri}, {kMTimeKey, QByteArray::number(mtime)}}));
}

bool ThumbnailCache::makeFolders() const
{
    std::call_once(m_foldersOnce, [this] {
        QDir().mkpath(QFileInfo(m_root).path());
        m_foldersMade = makeFolder(m_root) && makeFolder(m_root + QLatin1String("/normal"))
            && makeFolder(m_root + QLatin1String("/fail")) && makeFolder(m_root + QLatin1String("/fail/vellumet"));
    });
    return m_foldersMade;
}

// A cache entry can always be made again, so it is renamed into place
// without waiting for the disk: a reader finds the old entry, none, or the
// whole new one.
bool ThumbnailCache::store(const QString& path, const QByteArray& png) const
{
    if (png.isEmpty())
        return false;
    const QByteArray target = QFile::encodeName(path);
    QByteArray temporary = target + ".vellumet-XXXXXX";
    const int fd = ::mkstemp(temporary.data());  // mode 0600, as the cache asks
    if (fd < 0)
        return false;
    qsizetype written = 0;
    while (written < png.size()) {
        const ssize_t n = ::write(fd, png.constData() + written, size_t(png.size() - written));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        written += n;
    }
    const bool ok = ::close(fd) == 0 && written == png.size() && ::rename(temporary.constData(), target.constData()) == 0;
    if (!ok)
        ::unlink(temporary.constData());
    return ok;
}

}  // namespace files
