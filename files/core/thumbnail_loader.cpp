#include "thumbnail_loader.h"

#include <QHash>
#include <QThread>

#include <algorithm>
#include <atomic>
#include <deque>
#include <mutex>
#include <vector>

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace files {

namespace {

// How much nicer the workers are than the thread that made the loader.
constexpr int kWorkerNiceness = 10;

int threadNice()
{
    return ::getpriority(PRIO_PROCESS, id_t(::syscall(SYS_gettid)));
}

}  // namespace

// One load's work, shared by its workers: the folder to list, then the
// files whose thumbnails are still to be made. Everything but `cancelled`
// is guarded by the mutex.
class ThumbnailBatch : public std::enable_shared_from_this<ThumbnailBatch> {
public:
    // With `list`, the first worker lists `folder` before any thumbnail is made.
    ThumbnailBatch(ThumbnailLoader& loader, int load, QString folder, bool list)
        : m_loader(loader), m_load(load), m_folder(std::move(folder)), m_listingDue(list)
    {
    }

    void cancel() { m_cancelled = true; }
    bool cancelled() const { return m_cancelled; }

    void add(const QStringList& paths, bool first)
    {
        std::lock_guard lock(m_mutex);
        for (const QString& path : paths) {
            auto known = m_indexOf.constFind(path);
            size_t index;
            if (known != m_indexOf.cend()) {
                index = *known;
                if (!m_taken[index])
                    continue;
                m_taken[index] = false;  // made again: the file changed
                m_cursor = std::min(m_cursor, index);
            } else {
                index = m_paths.size();
                m_indexOf.insert(path, index);
                m_paths.push_back(path);
                m_taken.push_back(false);
            }
            ++m_left;
            if (first)
                m_wanted.push_front(index);
        }
        startWorkersLocked();
    }

    void prioritise(const QStringList& paths)
    {
        std::lock_guard lock(m_mutex);
        m_wanted.clear();
        for (const QString& path : paths) {
            auto known = m_indexOf.constFind(path);
            if (known != m_indexOf.cend() && !m_taken[*known])
                m_wanted.push_back(*known);
        }
    }

    void start()
    {
        std::lock_guard lock(m_mutex);
        startWorkersLocked();
    }

private:
    void startWorkersLocked()
    {
        const int most = m_loader.m_pool.maxThreadCount();
        // While the folder is being listed one worker is enough.
        while (!m_cancelled && m_workers < most && (m_listingDue ? m_workers == 0 : m_left > size_t(m_workers))) {
            ++m_workers;
            m_loader.m_pool.start([self = shared_from_this()] { self->work(); });
        }
    }

    // The next file to make, or an empty path when there is none; then the
    // worker has left, and the last to leave tells that the load is done.
    QString next()
    {
        bool done = false;
        {
            std::lock_guard lock(m_mutex);
            size_t index = m_paths.size();
            while (!m_wanted.empty() && index == m_paths.size()) {
                const size_t candidate = m_wanted.front();
                m_wanted.pop_front();
                if (!m_taken[candidate])
                    index = candidate;
            }
            while (index == m_paths.size() && m_cursor < m_paths.size()) {
                if (!m_taken[m_cursor])
                    index = m_cursor;
                ++m_cursor;
            }
            if (!m_cancelled && index < m_paths.size()) {
                m_taken[index] = true;
                --m_left;
                return m_paths[index];
            }
            --m_workers;
            done = m_workers == 0 && !m_cancelled && m_left == 0 && !m_listingDue;
        }
        if (done)
            Q_EMIT m_loader.finished(m_load);
        return {};
    }

    // Only the first worker lists; the others wait for its files.
    bool takeListing(QString& folder)
    {
        std::lock_guard lock(m_mutex);
        if (!m_listingDue || m_listing)
            return false;
        m_listing = true;
        folder = m_folder;
        return true;
    }

    void listingDone(const QList<ShownFile>& files)
    {
        QStringList paths;
        paths.reserve(files.size());
        for (const ShownFile& f : files)
            paths.append(f.path);
        {
            std::lock_guard lock(m_mutex);
            m_listingDue = false;
        }
        add(paths, false);
    }

    void work()
    {
        // Thumbnails are background work: the GUI thread and the live
        // pictures go first. (On Linux the nice value is the thread's own.)
        ::setpriority(PRIO_PROCESS, id_t(::syscall(SYS_gettid)), m_loader.m_workerNice);
        QString folder;
        if (takeListing(folder)) {
            const QList<ShownFile> files = folder.isEmpty() ? QList<ShownFile>() : listShownFiles(folder);
            if (!m_cancelled) {
                Q_EMIT m_loader.listed(m_load, files);
                listingDone(files);
            }
        }
        for (;;) {
            const QString path = next();
            if (path.isEmpty())
                return;
            const Thumbnail thumbnail = m_loader.m_maker->make(path);
            if (!m_cancelled)
                Q_EMIT m_loader.thumbnailReady(m_load, path, thumbnail.fitted, thumbnail.outcome);
        }
    }

    ThumbnailLoader& m_loader;
    const int m_load;
    const QString m_folder;
    std::atomic<bool> m_cancelled{false};

    std::mutex m_mutex;
    bool m_listingDue;
    bool m_listing = false;
    std::vector<QString> m_paths;
    std::vector<bool> m_taken;
    QHash<QString, size_t> m_indexOf;
    std::deque<size_t> m_wanted;
    size_t m_cursor = 0;
    size_t m_left = 0;
    int m_workers = 0;
};

ThumbnailLoader::ThumbnailLoader(std::shared_ptr<const ThumbnailMaker> maker, QObject* parent)
    : QObject(parent), m_maker(std::move(maker))
{
    qRegisterMetaType<files::ShownFile>();
    qRegisterMetaType<QList<files::ShownFile>>();
    qRegisterMetaType<files::ThumbnailOutcome>();
    m_pool.setMaxThreadCount(std::max(1, QThread::idealThreadCount()));
    m_workerNice = std::min(19, threadNice() + kWorkerNiceness);
}

ThumbnailLoader::~ThumbnailLoader()
{
    cancel();
    m_pool.waitForDone();
}

int ThumbnailLoader::load(const QString& folder)
{
    cancel();
    m_batch = std::make_shared<ThumbnailBatch>(*this, ++m_load, folder, true);
    m_batch->start();
    return m_load;
}

void ThumbnailLoader::add(const QStringList& paths)
{
    if (!m_batch || m_batch->cancelled())
        m_batch = std::make_shared<ThumbnailBatch>(*this, m_load, QString(), false);
    m_batch->add(paths, true);
}

void ThumbnailLoader::prioritise(const QStringList& paths)
{
    if (m_batch)
        m_batch->prioritise(paths);
}

void ThumbnailLoader::cancel()
{
    if (m_batch)
        m_batch->cancel();
}

}  // namespace files
