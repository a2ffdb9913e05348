#include "capture_device.h"

#include "capture/core/cap_config.h"
#include "capture/core/frame_ops.h"
#include "capture/core/pixel_convert.h"

#include "platform/posted_message.h"

#include <QDateTime>

#include <algorithm>

namespace capture {

namespace {

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

CCaptureDevice::CCaptureDevice(int slot, QObject* parent) : QObject(parent), m_slot(slot)
{
    // On the clip's writer thread, once the clip is finished.
    m_clip.setFailureHandler([this](const QString& reason) {
        m_recording = false;
        Q_EMIT clipFailed(m_clip.path(), reason);
    });
}

CCaptureDevice::~CCaptureDevice()
{
    Close();
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
    m_cameraModel = cameraModelOf(m_table, m_cameraModel);
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
    // The microscope's still button answers only when the user switched it
    // on; the fifth model has none.
    m_stillBranch.store(m_hardwareSnapshot && m_cameraModel != 5);
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
    m_renderer.releasePainters();
    StopClip();
    {
        // Nothing asked of this camera is answered by the next one.
        std::lock_guard lock(m_stillMutex);
        m_stills.clear();
        m_stillRequest = false;
    }
    m_source.reset();
    m_built = false;
    m_slotFrame.clear();
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
    if (!m_running)
        m_renderer.releasePainters();
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
    m_pacer.start(millisecondsInMinute());
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
    if (!m_renderer.render(frame.data, frame.size, frame.format, m_width, m_height, m_frameSettings))
        return;  // a damaged frame is dropped; the next one comes

    if (m_stillRequest.load())
        answerStill(frame);  // this frame is not kept
    else
        m_slotFrame.storeDelivered(frame.data, frame.size, frame.format, m_width, m_height, frame.sampleTime);
    // The clip gets the frame as the camera delivered it, without the view's
    // operations; its own thread converts, encodes and writes it.
    if (m_recording && m_pacer.shouldWrite(millisecondsInMinute()))
        m_clip.offer(frame.data, frame.size, frame.format, m_width, m_height);
    if (m_renderer.mailbox().publish())
        Q_EMIT frameReady();
}

}  // namespace capture
