#include "simulated_backend.h"

#include <thread>

namespace capture {

namespace {

class SimulatedSource : public CaptureSource {
public:
    SimulatedSource(std::shared_ptr<SimulatedCamera> camera, int fps)
        : m_camera(std::move(camera)), m_period(std::chrono::microseconds(1000000 / fps))
    {
    }

    std::vector<Capability> capabilities() override { return m_camera->capabilities(); }
    bool setFormat(int32_t w, int32_t h, int32_t f) override { return !m_streaming && m_camera->setFormat(w, h, f); }
    bool start() override
    {
        if (!m_camera->plugged())
            return false;
        m_streaming = true;
        m_start = std::chrono::steady_clock::now();
        m_next = m_start;
        m_count = 0;
        return true;
    }
    void stop() override { m_streaming = false; }

    FrameWait nextFrame(int timeoutMs, DeviceFrame& frame) override
    {
        if (!m_camera->plugged())
            return FrameWait::Gone;
        if (!m_streaming)
            return FrameWait::Timeout;
        // Frames come at the camera's rate: wait for the next one's time.
        const auto now = std::chrono::steady_clock::now();
        if (m_next - now > std::chrono::milliseconds(timeoutMs)) {
            std::this_thread::sleep_for(std::chrono::milliseconds(timeoutMs));
            return FrameWait::Timeout;
        }
        std::this_thread::sleep_until(m_next);
        if (!m_camera->plugged())
            return FrameWait::Gone;
        m_next += m_period;
        if (m_next < std::chrono::steady_clock::now())
            m_next = std::chrono::steady_clock::now() + m_period;  // fell behind: drop, do not bunch
        if (!m_camera->capture(m_count++, m_bytes))
            return FrameWait::Gone;
        frame.data = m_bytes.data();
        frame.size = m_bytes.size();
        frame.width = m_camera->width();
        frame.height = m_camera->height();
        frame.format = m_camera->format();
        frame.sampleTime = std::chrono::duration<double>(std::chrono::steady_clock::now() - m_start).count();
        return FrameWait::Frame;
    }

    std::vector<CameraControl> controls() override { return m_camera->controls(); }
    bool setControl(uint32_t id, int32_t value) override { return m_camera->setControl(id, value); }
    bool stillButtonPressed() override { return m_camera->takeStillPress(); }

private:
    std::shared_ptr<SimulatedCamera> m_camera;
    std::chrono::microseconds m_period;
    bool m_streaming = false;
    std::chrono::steady_clock::time_point m_start, m_next;
    int m_count = 0;
    std::vector<uint8_t> m_bytes;
};

}  // namespace

SimulatedBackend::SimulatedBackend(int devices, SimulatedCamera::Model model, int fps) : m_fps(fps > 0 ? fps : 30)
{
    for (int i = 1; i <= std::clamp(devices, 1, 5); ++i)
        m_cameras.push_back(std::make_shared<SimulatedCamera>(model, i));
}

std::vector<FoundDevice> SimulatedBackend::enumerate()
{
    std::vector<FoundDevice> found;
    for (const auto& c : m_cameras) {
        if (c->plugged())
            found.push_back({c->devicePath(), c->friendlyName()});
    }
    return found;
}

std::unique_ptr<CaptureSource> SimulatedBackend::open(const QString& devicePath)
{
    for (const auto& c : m_cameras) {
        if (c->devicePath() == devicePath && c->plugged())
            return std::make_unique<SimulatedSource>(c, m_fps);
    }
    return nullptr;
}

void SimulatedBackend::unplug(int index)
{
    camera(index).unplug();
    notify(false);
}

void SimulatedBackend::plugIn(int index)
{
    camera(index).plugIn();
    notify(true);
}

std::unique_ptr<DeviceWatcher> SimulatedBackend::watch()
{
    auto watcher = std::make_unique<DeviceWatcher>();
    std::lock_guard lock(m_watchersMutex);
    m_watchers.emplace_back(watcher.get());
    return watcher;
}

// Delivered on each watcher's own thread, like a udev event.
void SimulatedBackend::notify(bool arrival)
{
    std::lock_guard lock(m_watchersMutex);
    for (const QPointer<DeviceWatcher>& w : m_watchers) {
        if (w)
            QMetaObject::invokeMethod(
                w.data(),
                [w, arrival] {
                    if (w)
                        Q_EMIT w->changed(arrival);
                },
                Qt::QueuedConnection);
    }
}

}  // namespace capture
