#include "saved_folder_count.h"

#include <QDir>
#include <QFileInfo>

namespace base {

int countSavedFileFolders(const QString& foldersRoot)
{
    int count = 0;
    const QFileInfoList entries = QDir(foldersRoot).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden);
    for (const QFileInfo& entry : entries) {
        const QDir dir(entry.absoluteFilePath());
        if (QFileInfo(dir.filePath(QStringLiteral("Picture"))).isDir()
            && QFileInfo(dir.filePath(QStringLiteral("Video"))).isDir())
            ++count;
    }
    return count;
}

}  // namespace base
