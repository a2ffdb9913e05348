#include "trash.h"

#include "picture/core/sidecar_name.h"
#include "platform/atomic_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStorageInfo>
#include <QUrl>

#include <unistd.h>

namespace files {

namespace {

bool somethingAt(const QString& path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

// Whether a trash exists or can be made for `path`. Asked before handing the
// path to Qt, which, finding no trash, moves the file into the working
// folder instead.
bool trashReachable(const QString& path)
{
    const QStorageInfo disk(QFileInfo(path).absolutePath());
    if (disk == QStorageInfo(QDir::homePath())) {
        const QString home = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
        return !home.isEmpty() && QDir().mkpath(home + QLatin1String("/Trash"));
    }
    const QString top = disk.rootPath();
    const QString uid = QString::number(::getuid());
    const QFileInfo shared(top + QLatin1String("/.Trash"));
    if (shared.isDir() && !shared.isSymLink() && QDir().mkpath(shared.filePath() + QLatin1Char('/') + uid))
        return true;
    const QFileInfo own(top + QLatin1String("/.Trash-") + uid);
    return (own.isDir() && !own.isSymLink()) || QDir(top).mkdir(own.fileName());
}

// Qt writes the info file's Path as the path's raw bytes; the trash format
// wants them escaped as in a URI ("Onion%20cells"), and file managers put a
// file back by that path.
void escapeTrashInfoPath(const QString& inTrash, const QString& original)
{
    const QFileInfo moved(inTrash);
    const QString info = QDir::cleanPath(moved.absolutePath() + QLatin1String("/../info/") + moved.fileName()
                                         + QLatin1String(".trashinfo"));
    QByteArray bytes;
    if (!platform::readWholeFile(info, bytes))
        return;
    const QByteArray raw = QFile::encodeName(QFileInfo(original).absoluteFilePath());
    QList<QByteArray> lines = bytes.split('\n');
    bool escaped = false;
    for (QByteArray& line : lines) {
        if (!line.startsWith("Path="))
            continue;
        const QByteArray value = line.mid(5);
        // Whole, or from the top folder of the disk's own trash on: as Qt wrote it.
        if (value.isEmpty() || !(raw == value || raw.endsWith('/' + value)))
            break;
        line = "Path=" + QUrl::toPercentEncoding(value, "/");
        escaped = line.size() != value.size() + 5;
        break;
    }
    if (escaped)
        platform::writeFileAtomically(info, lines.join('\n'));
}

}  // namespace

TrashResult moveToTrash(const QString& path)
{
    if (path.isEmpty() || !somethingAt(path))
        return TrashResult::Missing;
    if (!trashReachable(path))
        return TrashResult::NoTrash;
    QString inTrash;
    if (QFile::moveToTrash(path, &inTrash)) {
        escapeTrashInfoPath(inTrash, path);
        return TrashResult::Trashed;
    }
    return somethingAt(path) ? TrashResult::NoTrash : TrashResult::Trashed;
}

QString clipOfPicture(const QString& picturePath)
{
    const QString name = QFileInfo(picturePath).fileName();
    if (name.size() <= 8)
        return QString();
    const QStringView tail = QStringView(name).right(8);
    if (tail.compare(u".avi.bmp", Qt::CaseInsensitive) != 0 && tail.compare(u".avi.jpg", Qt::CaseInsensitive) != 0)
        return QString();
    return picturePath.chopped(4);
}

TrashResult moveShownFileToTrash(const QString& picturePath)
{
    const QString clip = clipOfPicture(picturePath);
    if (!clip.isEmpty() && moveToTrash(clip) == TrashResult::NoTrash)
        return TrashResult::NoTrash;
    const TrashResult result = moveToTrash(picturePath);
    // The sidecar says what the picture is; left behind it would describe
    // the next picture given that name.
    if (result == TrashResult::Trashed)
        moveToTrash(picture::sidecarPath(picturePath));
    return result;
}

bool deleteForGood(const QString& path)
{
    const QFileInfo info(path);
    if (info.isDir() && !info.isSymLink())
        return QDir(path).removeRecursively();
    return QFile::remove(path);
}

}  // namespace files
