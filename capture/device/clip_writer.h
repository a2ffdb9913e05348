#pragma once

#include <QString>

#include <atomic>
#include <memory>
#include <mutex>

namespace cv {
class Mat;
class VideoWriter;
}  // namespace cv

namespace capture {

// An AVI clip at 5 frames a second, written from bottom-up BGR frames as the
// camera delivered them. MJPG when compression is chosen, uncompressed
// otherwise. The file is finished whenever the clip is closed, also from
// another thread while a frame is being written (they wait for each other).
class ClipWriter {
public:
    ClipWriter();
    ~ClipWriter();

    bool open(const QString& path, int width, int height, bool compressed);
    bool isOpen() const;
    // A frame of the clip's size; false (nothing written) for any other.
    bool write(const uint8_t* bottomUpRows, int width, int height, int stride);
    void close();
    int framesWritten() const { return m_frames.load(); }

private:
    mutable std::mutex m_mutex;
    std::unique_ptr<cv::VideoWriter> m_writer;
    std::unique_ptr<cv::Mat> m_topDown;
    int m_width = 0, m_height = 0;
    std::atomic<int> m_frames{0};  // read by the GUI while the capture thread writes
};

// "<folder>/<prefix><YYYYMMDDhhmmss>.avi", or the next free "..._1.avi" when
// that clip or its thumbnail exists; empty when the folder does not exist.
QString clipPathFor(const QString& videoFolder, const QString& prefix);

}  // namespace capture
