#pragma once

#include "shown_files.h"

#include <QFileSystemWatcher>
#include <QHash>
#include <QObject>
#include <QSet>
#include <QThreadPool>
#include <QTimer>

namespace files {

// Which files of a folder are new, changed or gone since the last look. A
// file is new or changed by its name and modification time; it is taken only
// once its size and time stayed the same from one look to the next (another
// program may still be writing it).
class SettlingFiles {
public:
    void reset(const QList<ShownFile>& known);
    void know(const QList<ShownFile>& files);
    bool knows(const QString& path) const { return m_known.contains(path); }
    // The known files and their modification times.
    QHash<QString, qint64> known() const { return m_known; }
    // Whether a look must measure this listed file's size: new or changed.
    static bool isNews(const ShownFile& listed, const QHash<QString, qint64>& known);

    struct Change {
        QList<ShownFile> appeared;
        QList<ShownFile> changed;  // written anew since it was known
        QStringList vanished;
        bool settling = false;  // a new or changed file is still growing: look again
    };
    // The folder's shown files now, with the sizes of those new or changed.
    // With `settled`, such files are taken as they are (their writer said
    // they are complete).
    Change look(const QList<ShownFile>& listing, const QHash<QString, qint64>& sizes, bool settled = false);

private:
    struct Seen {
        qint64 size = -1;
        qint64 modified = -1;
        bool operator==(const Seen&) const = default;
    };
    QHash<QString, qint64> m_known;  // path and modification time (-1: take the next one seen)
    QHash<QString, Seen> m_growing;  // new or changed files as seen at the last look
};

// Watches a folder for pictures put there, written anew or taken away by
// other programs and windows, and tells of them on the GUI thread; the folder
// is listed on a worker.
class FolderWatch : public QObject {
    Q_OBJECT
public:
    explicit FolderWatch(QObject* parent = nullptr);
    ~FolderWatch() override;

    // Starts watching `folder`, whose files are `shown` now; an empty folder stops.
    void watch(const QString& folder, const QList<ShownFile>& shown);
    // Files the caller added to its list itself: not told of again.
    void know(const QList<ShownFile>& files) { m_files.know(files); }
    // Looks at the folder now and tells of every new file at once (a file
    // was saved into it, and is complete).
    void refresh();
    // The time between two looks at a new file's size.
    void setSettleInterval(int ms) { m_timer.setInterval(ms); }

Q_SIGNALS:
    void appeared(const files::ShownFile& file);
    // A known file was written anew (a picture replaced by its window's Save).
    void changed(const files::ShownFile& file);
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
