#pragma once

#include "capture/core/avi_writer.h"

#include <QString>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace capture {

// An AVI clip at 5 frames a second, MJPG when compression is chosen and
// uncompressed otherwise, written by a thread of its own: frames are handed
// over through a small queue, converted or encoded there and written to the
// file at once; the header is brought up to date and the file synced once a
// second. A write error (a full disk) ends the clip there: it is finished
// with the frames written so far and the failure handler is told.
class ClipWriter {
public:
    // Frames waiting for the writer thread at most.
    static constexpr size_t kQueueFrames = 3;

    ClipWriter();
    ~ClipWriter();
    ClipWriter(const ClipWriter&) = delete;
    ClipWriter& operator=(const ClipWriter&) = delete;

    // Creates a new file (an existing one is never replaced); when it cannot,
    // `why` gets the system's reason.
    bool open(const QString& path, int width, int height, bool compressed, QString* why = nullptr);
    bool isOpen() const;
    // A frame of the clip's size as bottom-up BGR rows; waits while the queue
    // is full, so every frame goes in. False (nothing written) for a frame of
    // another size, or once writing failed.
    bool write(const uint8_t* bottomUpRows, int width, int height, int stride);
    // The capture thread's hand-over of a frame as the camera delivered it
    // (FormatMJPG or FormatYUY2): never waits; when the queue is full the
    // frame is left out of the clip and counted.
    bool offer(const uint8_t* bytes, size_t size, int32_t format, int width, int height);
    // Writes what is queued, finishes the file and ends the thread.
    void close();

    // Frames in the file (all that were taken once the clip is closed).
    int framesWritten() const { return m_frames.load(); }
    // Frames left out because the writer was behind.
    int framesDropped() const { return m_dropped.load(); }
    QString path() const;
    // Why writing stopped early; empty when it did not.
    QString failure() const;
    // Called once, on the writer thread, when writing fails (the clip is
    // already finished then). Set before open.
    void setFailureHandler(std::function<void(const QString& reason)> handler) { m_onFailure = std::move(handler); }

private:
    struct QueuedFrame {
        std::vector<uint8_t> bytes;
        int32_t format = 0;
    };

    bool enqueue(const uint8_t* bytes, size_t size, int32_t format, int width, int height, int stride, bool wait);
    void run(AviWriter* avi);
    void stopOnError(AviWriter& avi);

    std::function<void(const QString&)> m_onFailure;
    mutable std::mutex m_mutex;
    std::condition_variable m_wake;  // the writer thread: a frame or the end
    std::condition_variable m_room;  // write(): a free place in the queue
    std::deque<QueuedFrame> m_queue;
    std::vector<std::vector<uint8_t>> m_spare;  // buffers of frames written, for reuse
    bool m_open = false;
    bool m_closing = false;
    QString m_path;
    QString m_failure;
    AviStreamFormat m_format;
    std::thread m_thread;
    std::atomic<bool> m_failed{false};
    std::atomic<int> m_frames{0};
    std::atomic<int> m_dropped{0};
};

// "<folder>/<prefix><YYYYMMDDhhmmss>.avi", or the next free "..._1.avi" when
// that clip or its thumbnail exists; empty when the folder does not exist.
QString clipPathFor(const QString& videoFolder, const QString& prefix);

}  // namespace capture
