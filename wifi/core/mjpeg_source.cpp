#include "mjpeg_source.h"

#include "camera_pages.h"

#include <curl/curl.h>

#include <algorithm>
#include <thread>

namespace wifi {

namespace {

CURLM* multiOf(void* p)
{
    return static_cast<CURLM*>(p);
}

CURL* easyOf(void* p)
{
    return static_cast<CURL*>(p);
}

}  // namespace

MjpegStreamSource::MjpegStreamSource(CameraAddress address, QSize streamSize, std::vector<capture::CameraControl> controls)
    : m_address(std::move(address)), m_size(streamSize), m_controls(std::move(controls))
{
    m_url = m_address.streamUrl(QString::fromLatin1(kStreamPath)).toUtf8();
}

MjpegStreamSource::~MjpegStreamSource()
{
    stop();
    if (m_multi)
        curl_multi_cleanup(multiOf(m_multi));
}

namespace {

bool inDialog(const CameraMode& m)
{
    return m.usable && m.width >= 320 && m.width < 1600 && m.height >= 240 && m.height < 1200;
}

}  // namespace

std::vector<std::pair<QString, std::pair<int32_t, int32_t>>> MjpegStreamSource::menuSizes() const
{
    std::vector<std::pair<QString, std::pair<int32_t, int32_t>>> out;
    for (const QString& text : resolutionMenu(m_modes)) {
        const QStringList wh = text.split(QLatin1Char(','));
        out.push_back({text, {wh.value(0).toInt(), wh.value(1).toInt()}});
    }
    return out;
}

std::vector<capture::Capability> MjpegStreamSource::capabilities()
{
    std::vector<capture::Capability> out{{m_size.width(), m_size.height(), capture::FormatMJPG}};
    for (const CameraMode& m : m_modes) {
        if (inDialog(m) && QSize(m.width, m.height) != m_size)
            out.push_back({m.width, m.height, capture::FormatMJPG});
    }
    return out;
}

bool MjpegStreamSource::setFormat(int32_t width, int32_t height, int32_t format)
{
    if (format != capture::FormatMJPG)
        return false;
    if (width == m_size.width() && height == m_size.height())
        return true;
    const auto mode = std::find_if(m_modes.begin(), m_modes.end(),
                                   [&](const CameraMode& m) { return inDialog(m) && m.width == width && m.height == height; });
    if (mode == m_modes.end())
        return false;
    m_switchTo = mode->number;
    m_size = QSize(width, height);
    return true;
}

bool MjpegStreamSource::start()
{
    if (m_started)
        return true;
    initCurl();
    if (!m_multi)
        m_multi = curl_multi_init();
    if (!m_multi)
        return false;
    m_started = true;
    m_attempt = 0;
    m_reconnecting = false;
    m_startTime = Clock::now();
    if (m_switchTo == 0)
        open(m_startTime);  // else the capture thread asks for the mode first
    return true;
}

void MjpegStreamSource::stop()
{
    close();
    m_started = false;
    m_reconnecting = false;
}

void MjpegStreamSource::open(Clock::time_point now)
{
    close();
    CURL* easy = curl_easy_init();
    if (!easy) {
        reconnectLater(now);
        return;
    }
    curl_easy_setopt(easy, CURLOPT_URL, m_url.constData());
    setCameraOptions(easy, m_address);
    curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(m_timing.connectMs));
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, onData);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, this);
    // A frame in one or a few reads rather than 16 KB at a time: a tenth
    // of the system calls.
    curl_easy_setopt(easy, CURLOPT_BUFFERSIZE, 512L * 1024);
    m_easy = easy;
    m_headerSeen = false;
    m_transferEnded = false;
    m_parser.reset();
    m_watchSince = now;
    curl_multi_add_handle(multiOf(m_multi), easy);
    int running = 0;
    curl_multi_perform(multiOf(m_multi), &running);
}

void MjpegStreamSource::close()
{
    if (!m_easy)
        return;
    curl_multi_remove_handle(multiOf(m_multi), easyOf(m_easy));
    curl_easy_cleanup(easyOf(m_easy));
    m_easy = nullptr;
}

void MjpegStreamSource::reconnectLater(Clock::time_point now)
{
    close();
    m_reconnecting = true;
    const std::vector<int>& pauses = m_timing.backoffMs;
    const int pause = pauses.empty() ? 0 : pauses[std::min(m_attempt, pauses.size() - 1)];
    m_reopenAt = now + std::chrono::milliseconds(pause);
    ++m_attempt;
}

size_t MjpegStreamSource::onData(char* data, size_t size, size_t count, void* user)
{
    auto* self = static_cast<MjpegStreamSource*>(user);
    if (!self->m_headerSeen) {
        long status = 0;
        curl_easy_getinfo(easyOf(self->m_easy), CURLINFO_RESPONSE_CODE, &status);
        if (status >= 400)
            return 0;  // a refused login or a missing stream: try again later
        char* contentType = nullptr;
        curl_easy_getinfo(easyOf(self->m_easy), CURLINFO_CONTENT_TYPE, &contentType);
        self->m_parser.setBoundary(MjpegParser::boundaryFromContentType(contentType ? QByteArray(contentType) : QByteArray()));
        self->m_headerSeen = true;
    }
    self->m_parser.feed(data, size * count);
    return size * count;
}

capture::FrameWait MjpegStreamSource::nextFrame(int timeoutMs, capture::DeviceFrame& frame)
{
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(std::max(timeoutMs, 0));
    if (!m_started) {
        std::this_thread::sleep_until(deadline);
        return capture::FrameWait::Timeout;
    }
    for (;;) {
        if (m_switchTo != 0) {
            // The camera drops its stream to change mode and needs a moment
            // before it serves the new size. Until it has agreed the stream
            // stays closed and the mode is asked for again after a pause:
            // opened in the old mode, its pictures would be of a size nobody
            // shows, and the window would stand still without a word.
            const Clock::time_point now = Clock::now();
            if (now >= m_reopenAt) {
                close();
                m_reconnecting = true;
                const HttpReply reply = httpGet(m_address, m_address.pageUrl(modeSwitchPath(m_switchTo)), m_commandLimits);
                if (reply.ok) {
                    m_switchTo = 0;
                    m_reopenAt = Clock::now() + std::chrono::milliseconds(kSettleMs);
                } else {
                    reconnectLater(Clock::now());
                }
                continue;
            }
            if (now >= deadline)
                return capture::FrameWait::Timeout;
            std::this_thread::sleep_until(std::min(deadline, m_reopenAt));
            continue;
        }
        const uint8_t* data = nullptr;
        size_t size = 0;
        const bool got = m_parser.nextFrame(data, size);
        m_dropped = m_parser.droppedFrames();
        Clock::time_point now = Clock::now();
        if (got) {
            m_watchSince = now;
            m_attempt = 0;
            m_reconnecting = false;
            frame.data = data;
            frame.size = size;
            frame.width = m_size.width();
            frame.height = m_size.height();
            frame.format = capture::FormatMJPG;
            frame.sampleTime = std::chrono::duration<double>(now - m_startTime).count();
            return capture::FrameWait::Frame;
        }
        if (!m_easy) {
            if (now >= m_reopenAt) {
                open(now);
                continue;
            }
            if (now >= deadline)
                return capture::FrameWait::Timeout;
            std::this_thread::sleep_until(std::min(deadline, m_reopenAt));
            continue;
        }
        const Clock::time_point stallAt = m_watchSince + std::chrono::milliseconds(m_timing.stallMs);
        if (m_transferEnded || now >= stallAt) {
            reconnectLater(now);
            continue;
        }
        if (now >= deadline)
            return capture::FrameWait::Timeout;
        const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(std::min(deadline, stallAt) - now);
        curl_multi_poll(multiOf(m_multi), nullptr, 0, static_cast<int>(std::max<qint64>(wait.count(), 1)), nullptr);
        int running = 0;
        curl_multi_perform(multiOf(m_multi), &running);
        int left = 0;
        while (CURLMsg* message = curl_multi_info_read(multiOf(m_multi), &left)) {
            if (message->msg == CURLMSG_DONE)
                m_transferEnded = true;
        }
    }
}

std::vector<capture::CameraControl> MjpegStreamSource::controls()
{
    std::lock_guard lock(m_controlsMutex);
    return m_controls;
}

bool MjpegStreamSource::setControl(uint32_t id, int32_t value)
{
    {
        std::lock_guard lock(m_controlsMutex);
        if (!capture::findControl(m_controls, id))
            return false;
    }
    const HttpReply reply = httpGet(m_address, m_address.streamUrl(controlCommandPath(id, value)), m_commandLimits);
    if (!reply.ok)
        return false;
    std::lock_guard lock(m_controlsMutex);
    if (auto* control = capture::findControl(m_controls, id))
        control->value = value;
    return true;
}

}  // namespace wifi
