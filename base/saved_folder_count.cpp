#include "saved_folder_count.h"

#include <QDir>
#include <QFileInfo>

namespace base {

int countSavedFileFolders(const QString& foldersRoot)
{
    return static_cast<int>(savedFileFolders(foldersRoot).size());
}

QStringList savedFileFolders(const QString& foldersRoot)
{
    QStringList folders;
    const QFileInfoList entries = QDir(foldersRoot).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
    for (const QFileInfo& entry : entries) {
        const QDir dir(entry.absoluteFilePath());
        if (QFileInfo(dir.filePath(QStringLiteral("Picture"))).isDir()
            && QFileInfo(dir.filePath(QStringLiteral("Video"))).isDir())
            folders.append(entry.absoluteFilePath());
    }
    return folders;
}

}  // namespace base
