#include "folder_info.h"

#include "platform/text_files.h"

#include <QDir>
#include <QFileInfo>

namespace files {

namespace {

QString noteOf(const QString& folder)
{
    return platform::readWholeText(folder + QLatin1String("/note.txt"));
}

}  // namespace

const QStringList& pictureExtensions()
{
    static const QStringList kinds{QStringLiteral("bmp"), QStringLiteral("jpg")};
    return kinds;
}

const QStringList& clipExtensions()
{
    static const QStringList kinds{QStringLiteral("avi")};
    return kinds;
}

FileTally tallyFiles(const QString& folder, const QStringList& extensions)
{
    FileTally tally;
    const QFileInfoList entries = QDir(folder).entryInfoList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
    for (const QFileInfo& entry : entries) {
        if (!entry.isFile() || !extensions.contains(entry.suffix(), Qt::CaseInsensitive))
            continue;
        ++tally.count;
        tally.bytes += entry.size();
    }
    return tally;
}

QString megabytesText(qint64 bytes)
{
    return QString::asprintf("%.2fMB", static_cast<double>(bytes) / 1024.0 / 1024.0);
}

QString tallyText(const FileTally& tally)
{
    return QString::number(tally.count) + QLatin1Char('/') + megabytesText(tally.bytes);
}

QString sortableTimeText(const QDateTime& t)
{
    if (!t.isValid())
        return QString();
    const QDate d = t.date();
    const QTime c = t.time();
    return QString::asprintf("%4d%02d%02d%02d%02d%02d", d.year(), d.month(), d.day(), c.hour(), c.minute(), c.second());
}

QString shownTimeText(const QDateTime& t)
{
    if (!t.isValid())
        return QString();
    const QDate d = t.date();
    const QTime c = t.time();
    return QString::asprintf("%d/%d/%d %d:%d:%d", d.year(), d.month(), d.day(), c.hour(), c.minute(), c.second());
}

QDateTime folderCreationTime(const QString& folder)
{
    const QFileInfo info(folder);
    if (!info.exists())
        return QDateTime();
    const QDateTime born = info.birthTime();
    return (born.isValid() ? born : info.lastModified()).toLocalTime();
}

FolderInfo describeFolder(const QString& location, FolderDetail detail)
{
    FolderInfo info;
    info.location = QDir::cleanPath(location);
    info.name = QFileInfo(info.location).fileName();
    const QDateTime created = folderCreationTime(info.location);
    if (detail == FolderDetail::Pane) {
        info.created = sortableTimeText(created);
        return info;
    }
    info.created = shownTimeText(created);
    info.note = noteOf(info.location);
    info.pictures = tallyText(tallyFiles(info.location + QLatin1String("/Picture"), pictureExtensions()));
    info.videos = tallyText(tallyFiles(info.location + QLatin1String("/Video"), clipExtensions()));
    return info;
}

FolderProperties folderProperties(const QString& folder)
{
    FolderProperties p;
    p.location = QDir::cleanPath(folder);
    p.name = QFileInfo(p.location).fileName();
    const FileTally pictures = tallyFiles(p.location + QLatin1String("/Picture"), pictureExtensions());
    p.size = megabytesText(pictures.bytes);
    p.number = QString::number(pictures.count);
    p.created = shownTimeText(folderCreationTime(p.location));
    p.note = noteOf(p.location);
    return p;
}

}  // namespace files
