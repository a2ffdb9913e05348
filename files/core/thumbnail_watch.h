#pragma once

#include "shown_files.h"

#include <QFileSystemWatcher>
#include <QHash>
#include <QObject>
#include <QSet>
#include <QThreadPool>
#include <QTimer>

namespace files {

// Which files of a folder are new or gone since the last look, taking a new
// file only once its size stayed the same from one look to the next (another
// program may still be writing it).
class SettlingFiles {
public:
    void reset(const QList<ShownFile>& known);
    void know(const QStringList& paths);
    bool knows(const QString& path) const { return m_known.contains(path); }
    QSet<QString> known() const { return m_known; }

    struct Change {
        QList<ShownFile> appeared;
        QStringList vanished;
        bool settling = false;  // a new file is still growing: look again
    };
    // The folder's shown files now, with the sizes of those not known yet.
    // With `settled`, new files are taken as they are (their writer said
    // they are complete).
    Change look(const QList<ShownFile>& listing, const QHash<QString, qint64>& sizes, bool settled = false);

private:
    QSet<QString> m_known;
    QHash<QString, qint64> m_growing;  // new files and their size at the last look
};

// Watches a folder for pictures put there or taken away by other programs
// and tells of them on the GUI thread; the folder is listed on a worker.
class FolderWatch : public QObject {
    Q_OBJECT
public:
    explicit FolderWatch(QObject* parent = nullptr);
    ~FolderWatch() override;

    // Starts watching `folder`, whose files are `shown` now; an empty folder stops.
    void watch(const QString& folder, const QList<ShownFile>& shown);
    // Files the caller added to its list itself: not told of again.
    void know(const QStringList& paths) { m_files.know(paths); }
    // Looks at the folder now and tells of every new file at once (a file
    // was saved into it, and is complete).
    void refresh();
    // The time between two looks at a new file's size.
    void setSettleInterval(int ms) { m_timer.setInterval(ms); }

Q_SIGNALS:
    void appeared(const files::ShownFile& file);
    void vanished(const QString& path);
    // From the worker to the GUI thread.
    void looked(int generation, const QList<files::ShownFile>& listing, const QHash<QString, qint64>& sizes);

private:
    void lookSoon();
    void lookNow();
    void takeLook(int generation, const QList<ShownFile>& listing, const QHash<QString, qint64>& sizes);

    QFileSystemWatcher m_watcher;
    QTimer m_timer;
    QThreadPool m_pool;
    SettlingFiles m_files;
    QString m_folder;
    int m_generation = 0;
    bool m_looking = false;
    bool m_lookAgain = false;
    bool m_trustNext = false;  // the next look takes new files as complete
    bool m_trusting = false;   // the running look does
};

}  // namespace files
