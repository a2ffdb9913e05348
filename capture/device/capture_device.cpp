#include "capture_device.h"

#include "capture/core/cap_config.h"
#include "capture/core/frame_ops.h"
#include "capture/core/pixel_convert.h"
#include "yuyv_display.h"

#include "platform/posted_message.h"

#include <QDateTime>
#include <QPainter>

#include <algorithm>

namespace capture {

namespace {

std::atomic<int32_t> g_cameraModel{0};

std::function<void(int32_t)>& cameraModelSink()
{
    static std::function<void(int32_t)> sink;
    return sink;
}

// Second x 1000 + millisecond. Taken from the epoch, not the local clock:
// the capture thread must not touch the C library's time-zone state, and the
// minute starts at the same instant in every whole-minute time zone.
int millisecondsInMinute()
{
    return static_cast<int>(QDateTime::currentMSecsSinceEpoch() % 60000);
}

// How long the capture thread waits for a frame before it looks around.
constexpr int kFrameWaitMs = 200;

}  // namespace

CCaptureDevice::CCaptureDevice(int slot, QObject* parent) : QObject(parent), m_slot(slot) {}

CCaptureDevice::~CCaptureDevice()
{
    Close();
}

int32_t CCaptureDevice::cameraModel()
{
    return g_cameraModel.load();
}

void CCaptureDevice::setCameraModelSink(std::function<void(int32_t)> sink)
{
    cameraModelSink() = std::move(sink);
}

ClipPacer& CCaptureDevice::pacer()
{
    static ClipPacer shared;
    return shared;
}

bool CCaptureDevice::Open(const VideoDeviceEntry& entry)
{
    Close();
    if (entry.modelIndex < 0)
        return false;
    m_source = captureBackend().open(entry.devicePath);
    return m_source != nullptr;
}

bool CCaptureDevice::applyFormat(int32_t width, int32_t height, int32_t format)
{
    if (m_source->setFormat(width, height, format)) {
        m_width = width, m_height = height, m_format = format;
        return true;
    }
    return false;
}

bool CCaptureDevice::Build(int formatChoice, const QString& capConfigPath)
{
    if (m_built)
        return true;
    if (!m_source || m_running)
        return false;
    std::vector<Capability> caps = m_source->capabilities();
    m_table = buildResolutionTable(caps);
    g_cameraModel.store(cameraModelOf(m_table, g_cameraModel.load()));
    if (cameraModelSink())
        cameraModelSink()(g_cameraModel.load());
    if (!capConfigPath.isEmpty()) {
        if (const auto saved = readCapConfig(capConfigPath)) {
            m_width = saved->bmiHeader.biWidth;
            m_height = std::abs(saved->bmiHeader.biHeight);
        }
    }
    const int32_t format = formatChoice == 2 ? FormatMJPG : FormatYUY2;
    // The size asked for in the chosen format; else the largest the camera
    // offers in it; else whatever it offers first.
    if (!applyFormat(m_width, m_height, format)) {
        const size_t n = countResolutions(m_table);
        bool done = false;
        for (size_t i = n; i-- > 0 && !done;)
            done = m_table[i].format == format && applyFormat(m_table[i].width, m_table[i].height, format);
        for (size_t i = 0; i < n && !done; ++i)
            done = applyFormat(m_table[i].width, m_table[i].height, m_table[i].format);
        if (!done)
            return false;
    }
    m_rows.assign(size_t(rowStride(m_width)) * m_height, 0);
    // The microscope's still button answers only when the user switched it
    // on; the fifth model has none.
    m_stillBranch.store(m_hardwareSnapshot && g_cameraModel.load() != 5);
    m_built = true;
    return true;
}

bool CCaptureDevice::Run()
{
    if (m_running)
        return true;
    if (!m_built)
        return false;
    // A capture thread that ended by itself (the device failed or went
    // away) is collected, and the stream it left on is stopped, so the
    // start below begins afresh instead of answering "already streaming".
    if (m_thread.joinable()) {
        m_thread.join();
        m_source->stop();
    }
    if (!m_source->start())
        return false;
    m_running = true;
    m_thread = std::thread([this] { captureLoop(); });
    return true;
}

bool CCaptureDevice::Stop()
{
    m_running = false;
    if (m_thread.joinable())
        m_thread.join();
    if (m_source)
        m_source->stop();
    return true;
}

void CCaptureDevice::Close()
{
    Stop();
    for (auto& painter : m_painters)
        painter.reset();
    StopClip();
    {
        // Nothing asked of this camera is answered by the next one.
        std::lock_guard lock(m_stillMutex);
        m_stills.clear();
        m_stillRequest = false;
    }
    m_source.reset();
    m_built = false;
    if (m_slot >= 1 && m_slot <= 5)
        slotFrame(m_slot).clear();
}

bool CCaptureDevice::SetResolution(int32_t width, int32_t height, const QString& capConfigPath)
{
    if (!m_source)
        return false;
    const bool wasRunning = m_running;
    Stop();
    m_built = false;
    m_width = width;
    m_height = height;
    if (!capConfigPath.isEmpty()) {
        VideoInfoHeader saved = readCapConfig(capConfigPath).value_or(VideoInfoHeader{});
        saved.bmiHeader.biSize = 40;
        saved.bmiHeader.biBitCount = m_format == FormatMJPG ? 24 : 16;
        if (saved.AvgTimePerFrame == 0)
            saved.AvgTimePerFrame = 333333;
        resizeFormat(saved, width, height);
        writeCapConfig(capConfigPath, saved);  // a failure leaves the device as it is
    }
    const bool ok = Build(m_format == FormatMJPG ? 2 : 1, QString());
    if (wasRunning)
        Run();
    return ok;
}

bool CCaptureDevice::SetFormat(int32_t format)
{
    if (!m_source)
        return false;
    const bool wasRunning = m_running;
    Stop();
    m_built = false;
    const bool ok = Build(format == FormatMJPG ? 2 : 1, QString());
    if (wasRunning)
        Run();
    return ok;
}

bool CCaptureDevice::Rebuild()
{
    if (!m_source)
        return false;
    const bool wasRunning = m_running;
    Stop();
    m_built = false;
    const bool ok = Build(m_format == FormatMJPG ? 2 : 1, QString());
    if (wasRunning && ok)
        Run();
    return ok;
}

bool CCaptureDevice::SwitchDevice(const VideoDeviceEntry& entry, int formatChoice)
{
    Close();
    return Open(entry) && Build(formatChoice, QString()) && Run();
}

bool CCaptureDevice::CreateSurface()
{
    // The painters belong to the capture thread; with it stopped they can go.
    if (!m_running) {
        for (auto& painter : m_painters)
            painter.reset();
    }
    return true;
}

void CCaptureDevice::setViewSettings(const LiveViewSettings& settings)
{
    std::lock_guard lock(m_settingsMutex);
    m_settings = settings;
    m_settings.statusText.truncate(127);
}

void CCaptureDevice::SetStatusText(const QString& text)
{
    std::lock_guard lock(m_settingsMutex);
    m_settings.statusText = text.left(127);
}

QString CCaptureDevice::StartClip(const QString& videoFolder, const QString& prefix, bool compressed)
{
    const QString path = clipPathFor(videoFolder, prefix);
    if (path.isEmpty() || !m_clip.open(path, m_width, m_height, compressed))
        return {};
    pacer().start(millisecondsInMinute());
    m_recording = true;
    return path;
}

void CCaptureDevice::requestStill(StillRequest request)
{
    std::lock_guard lock(m_stillMutex);
    m_stills.push_back(std::move(request));
    m_stillRequest = true;
}

// Capture thread: the oldest request goes back to the view with this frame.
void CCaptureDevice::answerStill(const DeviceFrame& frame)
{
    StillAnswer answer;
    {
        std::lock_guard lock(m_stillMutex);
        if (m_stills.empty())
            return;
        answer.request = std::move(m_stills.front());
        m_stills.pop_front();
        m_stillRequest = !m_stills.empty();
    }
    auto still = std::make_shared<SlotFrame>();
    still->storeDelivered(frame.data, frame.size, frame.format, m_width, m_height, frame.sampleTime);
    answer.frame = std::move(still);
    platform::postMessage(m_notify, platform::msg::StillDue, 0, 0, std::move(answer));
}

void CCaptureDevice::StopClip()
{
    m_recording = false;
    m_clip.close();
}

void CCaptureDevice::captureLoop()
{
    DeviceFrame frame;
    while (m_running) {
        switch (m_source->nextFrame(kFrameWaitMs, frame)) {
        case FrameWait::Frame: onFrame(frame); break;
        case FrameWait::Timeout: break;
        case FrameWait::Gone:
            // The cable was pulled: finish the clip so it plays, tell the view.
            StopClip();
            m_running = false;
            Q_EMIT deviceGone();
            return;
        }
        // A press is always taken off the device, so none waits for later.
        if (m_source->stillButtonPressed() && m_stillBranch.load())
            platform::postMessage(m_notify, platform::msg::StillDue);
    }
}

void CCaptureDevice::onFrame(const DeviceFrame& frame)
{
    if (frame.width != m_width || frame.height != m_height)
        return;  // a frame of a size we did not ask for
    {
        std::lock_guard lock(m_settingsMutex);
        m_frameSettings = m_settings;  // copied into kept storage: no allocation
    }
    const LiveViewSettings& s = m_frameSettings;
    const bool atOneToOne = s.zoomX == 1.0 && s.zoomY == 1.0 && s.scrollX == 0 && s.scrollY == 0;
    bool rowsReady = false;
    const auto toRows = [&] {
        if (m_rows.size() < size_t(rowStride(m_width)) * m_height)
            m_rows.resize(size_t(rowStride(m_width)) * m_height);
        const FrameView rows{m_rows.data(), m_width, m_height, rowStride(m_width)};
        rowsReady = frame.format == FormatMJPG ? mjpegToBgr(frame.data, frame.size, rows) : yuyvToBgr(frame.data, frame.size, rows);
        return rowsReady;
    };

    QImage& out = m_mailbox.back();
    if (out.size() != QSize(static_cast<int>(m_width * s.zoomX + 0.5), static_cast<int>(m_height * s.zoomY + 0.5))) {
        m_painters[static_cast<size_t>(m_mailbox.backIndex())].reset();  // no painter may outlive its image
        out = QImage(static_cast<int>(m_width * s.zoomX + 0.5), static_cast<int>(m_height * s.zoomY + 0.5), QImage::Format_RGB32);
    }
    if (atOneToOne) {
        // Decoded straight into the display picture, then turned in place.
        auto* px = reinterpret_cast<uint32_t*>(out.bits());
        const int stride = int(out.bytesPerLine() / 4);
        const bool ok = frame.format == FormatMJPG ? mjpegToDisplay(frame.data, frame.size, px, m_width, m_height, stride)
                        : (m_width & 1) ? yuyvToDisplay(frame.data, frame.size, px, m_width, m_height, stride)
                                        : yuyvToDisplayFast(frame.data, frame.size, px, m_width, m_height, stride);
        if (!ok)
            return;  // a damaged frame is dropped; the next one comes
        prepareDisplay(px, m_width, m_height, stride, s.networkFrame != s.flip, s.mirror, s.colourMode);
    } else {
        if (!toRows())
            return;
        composeDisplay({m_rows.data(), m_width, m_height, rowStride(m_width)},
                       {reinterpret_cast<uint32_t*>(out.bits()), out.width(), out.height(), int(out.bytesPerLine() / 4)}, s.zoomX,
                       s.zoomY, s.scrollX, s.scrollY, s.networkFrame, s.mirror, s.flip, s.colourMode, m_columns);
    }
    paintDecorations(out, s);

    if (m_stillRequest.load())
        answerStill(frame);  // this frame is not kept
    else if (m_slot >= 1 && m_slot <= 5)
        slotFrame(m_slot).storeDelivered(frame.data, frame.size, frame.format, m_width, m_height, frame.sampleTime);
    // Clip frames are the camera's picture, without the view's operations.
    if (m_recording && pacer().shouldWrite(millisecondsInMinute()) && (rowsReady || toRows()))
        m_clip.write(m_rows.data(), m_width, m_height, rowStride(m_width));
    if (m_mailbox.publish())
        Q_EMIT frameReady();
}

void CCaptureDevice::paintDecorations(QImage& out, const LiveViewSettings& s)
{
    if (s.overlay.mode == OverlayNone && s.statusText.isEmpty() && (!s.shapes || s.shapes->empty()))
        return;
    auto& painter = m_painters[static_cast<size_t>(m_mailbox.backIndex())];
    if (!painter)
        painter = std::make_unique<QPainter>(&out);
    QPainter& p = *painter;
    OverlayParams o = s.overlay;
    o.frameWidth = m_width;
    o.frameHeight = m_height;
    o.zoomX = s.zoomX;
    o.zoomY = s.zoomY;
    if (o.label != m_labelImageText) {
        m_labelImage = renderOverlayLabel(o.label, p.font());
        m_labelImageText = o.label;
    }
    o.labelImage = m_labelImage.isNull() ? nullptr : &m_labelImage;
    if (m_colouredPen.color() != o.colour || m_colouredPen.width() != qMax(1, o.lineWidth)) {
        m_colouredPen = QPen(o.colour, qMax(1, o.lineWidth));
        m_whitePen = QPen(Qt::white, qMax(1, o.lineWidth));
    }
    o.colouredPen = &m_colouredPen;
    o.whitePen = &m_whitePen;
    paintOverlay(p, o);
    if (s.shapes && !s.shapes->empty())
        measure::drawVideoShapes(p, *s.shapes, s.zoomX, s.zoomY, QPoint(s.scrollX, s.scrollY), s.measure);
    if (!s.statusText.isEmpty()) {
        if (s.statusText != m_statusImageText) {
            // Pure green text on a transparent image, made when the text changes.
            const QFontMetrics metrics(p.font());
            m_statusImage = QImage(metrics.horizontalAdvance(s.statusText) + 2, metrics.height() + 2, QImage::Format_ARGB32_Premultiplied);
            m_statusImage.fill(Qt::transparent);
            QPainter text(&m_statusImage);
            text.setPen(QColor(0, 255, 0));
            text.drawText(QPoint(0, metrics.ascent()), s.statusText);
            m_statusImageText = s.statusText;
        }
        p.drawImage(QPoint(3, 5), m_statusImage);
    }
}

}  // namespace capture
