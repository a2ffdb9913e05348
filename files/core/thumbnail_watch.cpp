#include "thumbnail_watch.h"

#include "platform/tsan_annotations.h"

#include "thumbnail_loader.h"

#include <QFileInfo>

namespace files {

void SettlingFiles::reset(const QList<ShownFile>& known)
{
    m_known.clear();
    m_growing.clear();
    for (const ShownFile& f : known)
        m_known.insert(f.path, f.modified);
}

void SettlingFiles::know(const QList<ShownFile>& files)
{
    for (const ShownFile& f : files) {
        m_known.insert(f.path, f.modified);
        m_growing.remove(f.path);
    }
}

bool SettlingFiles::isNews(const ShownFile& listed, const QHash<QString, qint64>& known)
{
    const auto it = known.constFind(listed.path);
    return it == known.cend() || (*it >= 0 && listed.modified >= 0 && *it != listed.modified);
}

SettlingFiles::Change SettlingFiles::look(const QList<ShownFile>& listing, const QHash<QString, qint64>& sizes, bool settled)
{
    Change change;
    QSet<QString> present;
    QHash<QString, Seen> growing;
    for (const ShownFile& f : listing) {
        present.insert(f.path);
        const auto known = m_known.find(f.path);
        if (known != m_known.end() && *known < 0)
            *known = f.modified;  // added without its time: this one is it
        if (!isNews(f, m_known))
            continue;
        const Seen now{sizes.value(f.path, -1), f.modified};
        const auto before = m_growing.constFind(f.path);
        if (settled || (now.size > 0 && before != m_growing.cend() && *before == now)) {
            (known != m_known.end() ? change.changed : change.appeared).append(f);
            m_known.insert(f.path, f.modified);
            continue;
        }
        growing.insert(f.path, now);
        // An empty file may stay empty: it is looked at again with the next
        // change of the folder, not polled for.
        if (now.size > 0)
            change.settling = true;
    }
    for (auto it = m_known.begin(); it != m_known.end();) {
        if (present.contains(it.key())) {
            ++it;
        } else {
            change.vanished.append(it.key());
            it = m_known.erase(it);
        }
    }
    m_growing = std::move(growing);
    return change;
}

FolderWatch::FolderWatch(QObject* parent) : QObject(parent)
{
    qRegisterMetaType<QHash<QString, qint64>>();
    qRegisterMetaType<QList<files::ShownFile>>();
    m_pool.setMaxThreadCount(1);
    m_timer.setSingleShot(true);
    m_timer.setInterval(500);
    connect(&m_timer, &QTimer::timeout, this, &FolderWatch::lookNow);
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, &FolderWatch::lookSoon);
    connect(this, &FolderWatch::looked, this, &FolderWatch::takeLook, Qt::QueuedConnection);
}

FolderWatch::~FolderWatch()
{
    ++m_generation;
    m_pool.waitForDone();
}

void FolderWatch::watch(const QString& folder, const QList<ShownFile>& shown)
{
    ++m_generation;
    m_timer.stop();
    m_trustNext = false;
    if (!m_watcher.directories().isEmpty())
        m_watcher.removePaths(m_watcher.directories());
    m_folder = folder;
    m_files.reset(shown);
    if (!folder.isEmpty())
        m_watcher.addPath(folder);
}

void FolderWatch::lookSoon()
{
    if (!m_timer.isActive())
        m_timer.start();
}

void FolderWatch::refresh()
{
    m_trustNext = true;
    lookNow();
}

void FolderWatch::lookNow()
{
    if (m_folder.isEmpty())
        return;
    if (m_looking) {
        m_lookAgain = true;
        return;
    }
    m_looking = true;
    m_trusting = std::exchange(m_trustNext, false);
    const int generation = m_generation;
    // The pool hands the task over under a lock the thread sanitizer cannot
    // see; what the task was made with is published here.
    VELLUMET_TSAN_RELEASE(this);
    m_pool.start([this, generation, folder = m_folder, known = m_files.known()] {
        VELLUMET_TSAN_ACQUIRE(this);
        const QList<ShownFile> listing = listShownFiles(folder);
        QHash<QString, qint64> sizes;
        for (const ShownFile& f : listing) {
            if (SettlingFiles::isNews(f, known))
                sizes.insert(f.path, QFileInfo(f.path).size());
        }
        Q_EMIT looked(generation, listing, sizes);
    });
}

void FolderWatch::takeLook(int generation, const QList<ShownFile>& listing, const QHash<QString, qint64>& sizes)
{
    m_looking = false;
    if (generation == m_generation) {
        const SettlingFiles::Change change = m_files.look(listing, sizes, m_trusting);
        for (const QString& path : change.vanished)
            Q_EMIT vanished(path);
        for (const ShownFile& f : change.appeared)
            Q_EMIT appeared(f);
        for (const ShownFile& f : change.changed)
            Q_EMIT changed(f);
        if (change.settling)
            lookSoon();
    }
    if (m_lookAgain) {
        m_lookAgain = false;
        if (m_trustNext)
            lookNow();
        else
            lookSoon();
    }
}

}  // namespace files
