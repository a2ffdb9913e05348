#pragma once

#include "shown_files.h"
#include "thumbnail_maker.h"

#include <QImage>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QThreadPool>

#include <memory>

namespace files {

class ThumbnailBatch;

// Lists a folder and makes its thumbnails on a pool of worker threads (one
// per core). Each load has a number; starting a load cancels the one before,
// whose results are never delivered, so two loads never work on the list at
// once. Results reach the thread the loader lives in (the GUI thread) by
// queued signals, in order: first `listed`, then the thumbnails, then
// `finished`. The thumbnails asked for with prioritise() (those in view)
// come before the others.
class ThumbnailLoader : public QObject {
    Q_OBJECT
public:
    explicit ThumbnailLoader(std::shared_ptr<const ThumbnailMaker> maker, QObject* parent = nullptr);
    // Cancels what runs and waits for the workers.
    ~ThumbnailLoader() override;

    // Lists `folder` (see listShownFiles) and makes the thumbnails of all it
    // holds; the new load's number.
    int load(const QString& folder);
    // Makes thumbnails for files added to the list of the current load.
    void add(const QStringList& paths);
    // These files' thumbnails are wanted next, in this order.
    void prioritise(const QStringList& paths);
    // Stops the current load; nothing more of it is delivered.
    void cancel();

    int currentLoad() const { return m_load; }
    int workerCount() const { return m_pool.maxThreadCount(); }
    // Waits until the workers are idle (for tests and benchmarks).
    void waitForIdle() { m_pool.waitForDone(); }

Q_SIGNALS:
    void listed(int load, const QList<files::ShownFile>& files);
    void thumbnailReady(int load, const QString& path, const QImage& fitted, files::ThumbnailOutcome outcome);
    // Every thumbnail asked for so far is made.
    void finished(int load);

private:
    friend class ThumbnailBatch;
    void startWorkers();

    std::shared_ptr<const ThumbnailMaker> m_maker;
    QThreadPool m_pool;
    std::shared_ptr<ThumbnailBatch> m_batch;
    int m_load = 0;
    int m_workerNice = 0;  // the workers' nice value: they give way to the GUI thread
};

}  // namespace files

Q_DECLARE_METATYPE(files::ShownFile)
Q_DECLARE_METATYPE(files::ThumbnailOutcome)
