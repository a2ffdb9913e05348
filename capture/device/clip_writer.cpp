#include "clip_writer.h"

#include "capture/core/clip_frames.h"
#include "capture/core/frame_ops.h"
#include "capture/core/resolution_table.h"
#include "capture/core/snapshot_files.h"

#include <QDateTime>
#include <QFileInfo>

#include <chrono>
#include <cstring>
#include <memory>

namespace capture {

namespace {

// How often the header is brought up to date and the file synced.
constexpr auto kSyncInterval = std::chrono::seconds(1);

}  // namespace

ClipWriter::ClipWriter() = default;

ClipWriter::~ClipWriter()
{
    close();
}

bool ClipWriter::open(const QString& path, int width, int height, bool compressed, QString* why)
{
    close();
    AviStreamFormat format;
    format.width = width;
    format.height = height;
    format.codec = compressed ? AviCodec::Mjpg : AviCodec::Bgr24;
    format.framesPerSecond = 5;
    auto avi = std::make_unique<AviWriter>();
    if (!avi->open(path, format)) {
        if (why)
            *why = avi->errorText();
        return false;
    }
    std::lock_guard lock(m_mutex);
    m_format = format;
    m_path = path;
    m_failure.clear();
    m_queue.clear();
    m_closing = false;
    m_open = true;
    m_failed = false;
    m_frames = 0;
    m_dropped = 0;
    m_thread = std::thread([this, writer = avi.release()] { run(writer); });
    return true;
}

bool ClipWriter::isOpen() const
{
    std::lock_guard lock(m_mutex);
    return m_open;
}

QString ClipWriter::path() const
{
    std::lock_guard lock(m_mutex);
    return m_path;
}

QString ClipWriter::failure() const
{
    std::lock_guard lock(m_mutex);
    return m_failure;
}

bool ClipWriter::write(const uint8_t* bottomUpRows, int width, int height, int stride)
{
    if (stride < width * 3)
        return false;
    return enqueue(bottomUpRows, size_t(stride) * size_t(height), FormatNone, width, height, stride, true);
}

bool ClipWriter::offer(const uint8_t* bytes, size_t size, int32_t format, int width, int height)
{
    if (format != FormatMJPG && format != FormatYUY2)
        return false;
    return enqueue(bytes, size, format, width, height, 0, false);
}

// Rows are stored at the clip's own row length; camera bytes as they are.
bool ClipWriter::enqueue(const uint8_t* bytes, size_t size, int32_t format, int width, int height, int stride, bool wait)
{
    QueuedFrame frame;
    {
        std::unique_lock lock(m_mutex);
        if (wait)
            m_room.wait(lock, [&] { return !m_open || m_closing || m_failed || m_queue.size() < kQueueFrames; });
        if (!m_open || m_closing || m_failed || width != m_format.width || height != m_format.height)
            return false;
        if (m_queue.size() >= kQueueFrames) {
            ++m_dropped;
            return false;
        }
        if (!m_spare.empty()) {
            frame.bytes = std::move(m_spare.back());
            m_spare.pop_back();
        }
    }
    frame.format = format;
    if (format == FormatNone) {
        const size_t clipStride = size_t(rowStride(width));
        frame.bytes.resize(clipStride * size_t(height));
        for (int y = 0; y < height; ++y)
            std::memcpy(frame.bytes.data() + size_t(y) * clipStride, bytes + size_t(y) * size_t(stride), size_t(width) * 3);
    } else {
        frame.bytes.assign(bytes, bytes + size);  // keeps its capacity: no allocation once warm
    }
    {
        std::lock_guard lock(m_mutex);
        m_queue.push_back(std::move(frame));
    }
    m_wake.notify_one();
    return true;
}

void ClipWriter::run(AviWriter* writer)
{
    std::unique_ptr<AviWriter> avi(writer);
    ClipFrameMaker maker(m_format);
    bool dirty = false;
    auto nextSync = std::chrono::steady_clock::now() + kSyncInterval;
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_wake.wait_until(lock, nextSync, [&] { return !m_queue.empty() || m_closing; });
        if (!m_queue.empty()) {
            QueuedFrame frame = std::move(m_queue.front());
            m_queue.pop_front();
            lock.unlock();
            const uint8_t* bytes = nullptr;
            size_t size = 0;
            if (m_failed) {
                // Writing stopped: what was queued is not written.
            } else if (!maker.make(frame.bytes.data(), frame.bytes.size(), frame.format, bytes, size)) {
                ++m_dropped;  // a damaged camera frame
            } else if (avi->writeFrame(bytes, size)) {
                ++m_frames;
                dirty = true;
            } else {
                stopOnError(*avi);
            }
            lock.lock();
            m_spare.push_back(std::move(frame.bytes));
            m_room.notify_all();
        } else if (m_closing) {
            break;
        }
        if (std::chrono::steady_clock::now() >= nextSync) {
            nextSync = std::chrono::steady_clock::now() + kSyncInterval;
            if (dirty && !m_failed) {
                lock.unlock();
                if (!avi->refreshHeader() || !avi->sync())
                    stopOnError(*avi);
                dirty = false;
                lock.lock();
            }
        }
    }
    lock.unlock();
    if (!m_failed && !avi->close() && avi->failed())
        stopOnError(*avi);
}

// The clip is finished with the frames written so far, and no more are taken.
void ClipWriter::stopOnError(AviWriter& avi)
{
    avi.close();
    const QString reason = avi.errorText();
    {
        std::lock_guard lock(m_mutex);
        m_failure = reason.isEmpty() ? QStringLiteral("write error") : reason;
        m_failed = true;
    }
    m_room.notify_all();
    if (m_onFailure)
        m_onFailure(reason);
}

void ClipWriter::close()
{
    {
        std::lock_guard lock(m_mutex);
        if (!m_open)
            return;
        m_closing = true;
    }
    m_wake.notify_one();
    m_room.notify_all();
    if (m_thread.joinable())
        m_thread.join();
    std::lock_guard lock(m_mutex);
    m_open = false;
    m_queue.clear();
}

QString clipPathFor(const QString& videoFolder, const QString& prefix)
{
    if (!QFileInfo(videoFolder).isDir())
        return {};
    // Neither an earlier clip nor its thumbnail ("<clip>.bmp") is written over.
    return unusedPath(clipPath(videoFolder, prefix, QDateTime::currentDateTime()), QStringLiteral(".bmp"));
}

}  // namespace capture
