#pragma once

#include "picture/core/cx_image.h"

#include <QObject>

#include <atomic>
#include <memory>
#include <thread>

class QTimer;

namespace picture {

// Runs one picture operation away from the GUI thread: on a copy of the
// picture, so the window keeps painting the old one until the new one is
// handed back. Progress is read three times a second.
class PictureOperationRunner : public QObject {
    Q_OBJECT
public:
    explicit PictureOperationRunner(QObject* parent = nullptr);
    // Stops a running operation and waits for it.
    ~PictureOperationRunner() override;

    // False when one is running already.
    bool start(const CxImage& picture, int operation);
    bool running() const { return m_thread.joinable(); }
    // Waits for the running operation (its result is still delivered).
    void wait();

Q_SIGNALS:
    void progress(int percent);
    // The picture after the operation; nullptr when it failed or was stopped.
    void finished(std::shared_ptr<CxImage> result, int operation);

protected:
    void customEvent(QEvent* event) override;

private:
    std::thread m_thread;
    std::atomic<int> m_progress{0};
    std::atomic<bool> m_stop{false};
    QTimer* m_timer;
    int m_operation = 0;
};

}  // namespace picture
