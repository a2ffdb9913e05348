#include "shown_files.h"

#include "folder_info.h"
#include "natural_order.h"
#include "trash.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

#include <sys/stat.h>

namespace files {

namespace {

// Read from the file system as it is: a QDateTime in local time costs more
// than the stat itself, ten thousand times over.
qint64 modifiedMs(const QString& path)
{
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return -1;
    return qint64(st.st_mtim.tv_sec) * 1000 + st.st_mtim.tv_nsec / 1000000;
}

ShownFile shownFileOf(const QFileInfo& info)
{
    if (!info.isFile() || !pictureExtensions().contains(info.suffix(), Qt::CaseInsensitive))
        return ShownFile();
    const QString path = info.filePath();
    return ShownFile{info.fileName().toLower(), path, clipOfPicture(path), modifiedMs(path)};
}

}  // namespace

QList<ShownFile> listShownFiles(const QString& folder)
{
    QList<ShownFile> shown;
    const QFileInfoList entries = QDir(folder).entryInfoList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
    for (const QFileInfo& entry : entries) {
        ShownFile file = shownFileOf(entry);
        if (!file.path.isEmpty())
            shown.append(std::move(file));
    }
    std::stable_sort(shown.begin(), shown.end(), [](const ShownFile& a, const ShownFile& b) {
        const int order = naturalCompare(a.shown, b.shown);
        return order != 0 ? order < 0 : a.path < b.path;
    });
    return shown;
}

ShownFile shownFileFor(const QString& path)
{
    return shownFileOf(QFileInfo(path));
}

}  // namespace files
