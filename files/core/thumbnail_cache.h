#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

#include <mutex>

namespace files {

// The desktop's shared thumbnail cache, so thumbnails made here are seen by
// the file manager and picture viewers and theirs are used here: a PNG (ours
// stored without compression, see storedPng) of at most 128 pixels a side in "<root>/normal", named by the MD5 of the file's
// URI, holding the URI and the file's modification time (Thumb::URI,
// Thumb::MTime); a thumbnail is valid while both match. Files that could not
// be read as pictures are noted under "<root>/fail/vellumet". Safe to use
// from several threads at once.
class ThumbnailCache {
public:
    // The cache under `root`; "$XDG_CACHE_HOME/thumbnails" when empty.
    explicit ThumbnailCache(const QString& root = QString());

    static constexpr int kNormalSide = 128;

    QString root() const { return m_root; }
    // "file://" and the path, escaped as the desktop's libraries do, from the
    // path's bytes on disk.
    static QByteArray fileUri(const QByteArray& encodedPath);
    QString thumbnailPath(const QByteArray& uri) const;
    QString failurePath(const QByteArray& uri) const;

    // The stored thumbnail when it was made from the file as it is now; null
    // otherwise. `fullSize` gets the picture's own size when the entry names it.
    QImage read(const QByteArray& uri, qint64 mtime, QSize* fullSize = nullptr) const;
    bool failedBefore(const QByteArray& uri, qint64 mtime) const;

    // Stores a thumbnail (written beside and renamed into place, so readers
    // never see half a file); false when the cache cannot be written.
    bool write(const QByteArray& uri, qint64 mtime, const QImage& thumbnail, QSize fullSize) const;
    bool writeFailure(const QByteArray& uri, qint64 mtime) const;

private:
    bool makeFolders() const;
    bool store(const QString& path, const QByteArray& png) const;

    QString m_root;
    mutable std::once_flag m_foldersOnce;
    mutable bool m_foldersMade = false;
};

}  // namespace files
