#include "live_stream.h"

#include <utility>

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

LiveStream::LiveStream(StreamDescription description, QObject* parent) : QObject(parent), m_description(std::move(description))
{
    // On the clip's writer thread, once the clip is finished.
    m_clip.setFailureHandler([this](const QString& reason) {
        m_recording = false;
        Q_EMIT clipFailed(m_clip.path(), reason);
    });
}

LiveStream::~LiveStream()
{
    Close();
}

bool LiveStream::Open(std::unique_ptr<CaptureSource> source)
{
    Close();
    m_source = std::move(source);
    if (!m_source)
        return false;
    m_inSourceMode = m_source->keepsItsMode();
    std::vector<CameraControl> controls = m_source->controls();
    std::lock_guard lock(m_controlsMutex);
    m_controls = std::move(controls);
    return true;
}

std::vector<CameraControl> LiveStream::controls() const
{
    std::lock_guard lock(m_controlsMutex);
    return m_controls;
}

void LiveStream::setControl(uint32_t id, int32_t value)
{
    {
        std::lock_guard lock(m_controlsMutex);
        if (!m_source)
            return;
        // A slider being dragged sends value after value; a network camera
        // answers each in a round trip, so only the latest of each waits.
        const auto waiting = std::find_if(m_pendingControls.begin(), m_pendingControls.end(),
                                          [id](const auto& pending) { return pending.first == id; });
        if (waiting != m_pendingControls.end())
            waiting->second = value;
        else
            m_pendingControls.emplace_back(id, value);
        m_controlsPending = true;
    }
    // Stopped, nothing else touches the source: this thread applies it. The
    // GUI thread starts and stops the capture thread, so it cannot start meanwhile.
    if (!m_running.load())
        applyPendingControls(false);
}

void LiveStream::applyPendingControls(bool onCaptureThread)
{
    std::vector<std::pair<uint32_t, int32_t>> pending;
    {
        std::lock_guard lock(m_controlsMutex);
        pending.swap(m_pendingControls);
        m_controlsPending = false;
    }
    for (size_t i = 0; i < pending.size(); ++i) {
        const auto [id, value] = pending[i];
        if (i > 0 && onCaptureThread && !m_running.load()) {
            // The GUI thread waits for this one: a camera on the network
            // answers each in a round trip. The rest goes after the restart,
            // unless newer values came meanwhile.
            std::lock_guard lock(m_controlsMutex);
            for (size_t j = i; j < pending.size(); ++j) {
                const uint32_t later = pending[j].first;
                if (std::none_of(m_pendingControls.begin(), m_pendingControls.end(),
                                 [later](const auto& p) { return p.first == later; }))
                    m_pendingControls.push_back(pending[j]);
            }
            m_controlsPending = true;
            return;
        }
        if (!m_source->setControl(id, value)) {
            // A network camera that did not take the command says so; the
            // dialog keeps what the user set.
            if (m_source->keepsItsMode())
                platform::postMessage(m_notify, platform::msg::CameraCommandRefused);
            continue;
        }
        // The camera may round or clamp: keep what it holds now.
        std::vector<CameraControl> now = m_source->controls();
        std::lock_guard lock(m_controlsMutex);
        m_controls = std::move(now);
    }
}

bool LiveStream::applyFormat(int32_t width, int32_t height, int32_t format)
{
    if (m_source->setFormat(width, height, format)) {
        m_width = width, m_height = height, m_format = format;
        return true;
    }
    return false;
}

bool LiveStream::Build(int formatChoice, const QString& capConfigPath)
{
    if (m_built)
        return true;
    if (!m_source || m_running)
        return false;
    std::vector<Capability> caps = m_source->capabilities();
    m_table = buildResolutionTable(caps);
    m_cameraModel = cameraModelOf(m_table, m_cameraModel);
    int32_t format = formatChoice == 2 ? FormatMJPG : FormatYUY2;
    if (std::exchange(m_inSourceMode, false) && !caps.empty()) {
        m_width = caps.front().width;
        m_height = caps.front().height;
        format = caps.front().format;
    } else if (!capConfigPath.isEmpty()) {
        if (const auto saved = readCapConfig(capConfigPath)) {
            m_width = saved->bmiHeader.biWidth;
            m_height = std::abs(saved->bmiHeader.biHeight);
        }
    }
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

bool LiveStream::Run()
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

bool LiveStream::Stop()
{
    m_running = false;
    if (m_thread.joinable())
        m_thread.join();
    if (m_source)
        m_source->stop();
    return true;
}

void LiveStream::Close()
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
    {
        std::lock_guard lock(m_controlsMutex);
        m_source.reset();
        m_controls.clear();
        m_pendingControls.clear();
        m_controlsPending = false;
    }
    m_built = false;
    m_latestFrame.clear();
}

bool LiveStream::SetResolution(int32_t width, int32_t height, const QString& capConfigPath)
{
    if (!m_source)
        return false;
    if (!capConfigPath.isEmpty()) {
        VideoInfoHeader saved = readCapConfig(capConfigPath).value_or(VideoInfoHeader{});
        saved.bmiHeader.biSize = 40;
        saved.bmiHeader.biBitCount = m_format == FormatMJPG ? 24 : 16;
        if (saved.AvgTimePerFrame == 0)
            saved.AvgTimePerFrame = 333333;
        resizeFormat(saved, width, height);
        writeCapConfig(capConfigPath, saved);  // a failure leaves the device as it is
    }
    return restart(m_format, width, height);
}

bool LiveStream::SetFormat(int32_t format)
{
    return restart(format, m_width, m_height);
}

bool LiveStream::Rebuild()
{
    return restart(m_format, m_width, m_height);
}

bool LiveStream::restart(int32_t format, int32_t width, int32_t height)
{
    if (!m_source)
        return false;
    const bool wasRunning = m_running;
    Stop();
    m_built = false;
    m_width = width;
    m_height = height;
    const bool ok = Build(format == FormatMJPG ? 2 : 1, QString());
    if (wasRunning && ok)
        Run();
    return ok;
}

bool LiveStream::SwitchDevice(std::unique_ptr<CaptureSource> source, int formatChoice)
{
    return Open(std::move(source)) && Build(formatChoice, QString()) && Run();
}

bool LiveStream::CreateSurface()
{
    // The painters belong to the capture thread; with it stopped they can go.
    if (!m_running)
        m_renderer.releasePainters();
    return true;
}

void LiveStream::setViewSettings(const LiveViewSettings& settings)
{
    std::lock_guard lock(m_settingsMutex);
    m_settings = settings;
    m_settings.statusText.truncate(127);
}

void LiveStream::SetStatusText(const QString& text)
{
    std::lock_guard lock(m_settingsMutex);
    m_settings.statusText = text.left(127);
}

QString LiveStream::StartClip(const QString& videoFolder, const QString& prefix, bool compressed, QString* why)
{
    const QString path = clipPathFor(videoFolder, prefix);
    if (path.isEmpty() || !m_clip.open(path, m_width, m_height, compressed, why))
        return {};
    m_pacer.start(millisecondsInMinute());
    m_recording = true;
    return path;
}

void LiveStream::requestStill(StillRequest request)
{
    std::lock_guard lock(m_stillMutex);
    m_stills.push_back(std::move(request));
    m_stillRequest = true;
}

// Capture thread: the oldest request goes back to the view with this frame.
void LiveStream::answerStill(const DeviceFrame& frame)
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
    auto still = std::make_shared<LatestFrame>();
    still->storeDelivered(frame.data, frame.size, frame.format, m_width, m_height, frame.sampleTime);
    answer.frame = std::move(still);
    platform::postMessage(m_notify, platform::msg::StillDue, 0, 0, std::move(answer));
}

void LiveStream::StopClip()
{
    m_recording = false;
    m_clip.close();
}

void LiveStream::captureLoop()
{
    DeviceFrame frame;
    while (m_running) {
        if (m_controlsPending.load())
            applyPendingControls(true);
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

void LiveStream::onFrame(const DeviceFrame& frame)
{
    if (frame.width != m_width || frame.height != m_height)
        return;  // a frame of a size we did not ask for
    // Composing is most of a frame's cost (the decode above all): a window
    // nobody sees skips it and keeps only the camera's bytes.
    const bool shown = m_shown.load();
    if (shown) {
        {
            std::lock_guard lock(m_settingsMutex);
            m_frameSettings = m_settings;  // copied into kept storage: no allocation
        }
        if (!m_renderer.render(frame.data, frame.size, frame.format, m_width, m_height, m_frameSettings))
            return;  // a damaged frame is dropped; the next one comes
    }

    if (m_stillRequest.load())
        answerStill(frame);  // this frame is not kept
    else
        m_latestFrame.storeDelivered(frame.data, frame.size, frame.format, m_width, m_height, frame.sampleTime);
    // The clip gets the frame as the camera delivered it, without the view's
    // operations; its own thread converts, encodes and writes it.
    if (m_recording && m_pacer.shouldWrite(millisecondsInMinute()))
        m_clip.offer(frame.data, frame.size, frame.format, m_width, m_height);
    if (shown && m_renderer.mailbox().publish())
        Q_EMIT frameReady();
}

}  // namespace capture
