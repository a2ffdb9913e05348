#include "clip_writer.h"

#include "capture/core/snapshot_files.h"

#include <QDateTime>
#include <QFileInfo>

#include <opencv2/core.hpp>
#include <opencv2/videoio.hpp>

namespace capture {

ClipWriter::ClipWriter() = default;

ClipWriter::~ClipWriter()
{
    close();
}

bool ClipWriter::open(const QString& path, int width, int height, bool compressed)
{
    std::lock_guard lock(m_mutex);
    m_writer.reset();
    const int fourcc = compressed ? cv::VideoWriter::fourcc('M', 'J', 'P', 'G') : 0;
    auto writer = std::make_unique<cv::VideoWriter>();
    if (!writer->open(path.toStdString(), cv::CAP_FFMPEG, fourcc, 5.0, cv::Size(width, height), true)
        && !writer->open(path.toStdString(), fourcc, 5.0, cv::Size(width, height), true))
        return false;
    m_writer = std::move(writer);
    m_topDown = std::make_unique<cv::Mat>(height, width, CV_8UC3);
    m_width = width;
    m_height = height;
    m_frames = 0;
    return true;
}

bool ClipWriter::isOpen() const
{
    std::lock_guard lock(m_mutex);
    return m_writer != nullptr;
}

bool ClipWriter::write(const uint8_t* bottomUpRows, int width, int height, int stride)
{
    std::lock_guard lock(m_mutex);
    if (!m_writer || width != m_width || height != m_height)
        return false;
    // Clips are stored top row first.
    const cv::Mat frame(height, width, CV_8UC3, const_cast<uint8_t*>(bottomUpRows), static_cast<size_t>(stride));
    cv::flip(frame, *m_topDown, 0);
    m_writer->write(*m_topDown);
    ++m_frames;
    return true;
}

void ClipWriter::close()
{
    std::lock_guard lock(m_mutex);
    if (m_writer)
        m_writer->release();  // writes the index: the file plays from now on
    m_writer.reset();
}

QString clipPathFor(const QString& videoFolder, const QString& prefix)
{
    if (!QFileInfo(videoFolder).isDir())
        return {};
    // Neither an earlier clip nor its thumbnail ("<clip>.bmp") is written over.
    return unusedPath(clipPath(videoFolder, prefix, QDateTime::currentDateTime()), QStringLiteral(".bmp"));
}

}  // namespace capture
