#pragma once

#include "capture_backend.h"

#include "capture/core/simulated_camera.h"

#include <QPointer>

#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <vector>

namespace capture {

// One to five simulated microscopes, each sending frames at `fps` like a camera.
class SimulatedBackend : public CaptureBackend {
public:
    explicit SimulatedBackend(int devices, SimulatedCamera::Model model = SimulatedCamera::Model::Model1, int fps = 30);

    const char* name() const override { return "simulated"; }
    std::vector<FoundDevice> enumerate() override;
    std::unique_ptr<CaptureSource> open(const QString& devicePath) override;

    // The cameras themselves, for tests: still button, cable, controls.
    SimulatedCamera& camera(int index) { return *m_cameras.at(static_cast<size_t>(index)); }
    int count() const { return static_cast<int>(m_cameras.size()); }
    // Pulls the cable of camera `index`, or plugs it back, and tells the watchers.
    void unplug(int index);
    void plugIn(int index);
    std::unique_ptr<DeviceWatcher> watch() override;

private:
    void notify(bool arrival);

    std::vector<std::shared_ptr<SimulatedCamera>> m_cameras;
    int m_fps;
    std::mutex m_watchersMutex;
    std::vector<QPointer<DeviceWatcher>> m_watchers;
};

}  // namespace capture
