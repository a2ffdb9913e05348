#pragma once

#include "camera_address.h"

#include "capture/device/network_camera.h"

#include <memory>
#include <mutex>
#include <optional>

namespace wifi {

class TriggerPoll;

// The WiFi microscope as the program's network camera: its pages looked at,
// its MJPEG stream as the source, its still button polled. The address is
// fixed (a simulated camera) or read from the settings' wifi.ini at each look.
class WifiCamera : public capture::NetworkCamera {
public:
    explicit WifiCamera(std::optional<CameraAddress> fixed = std::nullopt);
    ~WifiCamera() override;

    QString where() const override;
    void useSettings(const QString& settingsFolder) override;
    capture::NetworkCameraLook look() override;
    void watchStillButton(std::function<void()> pressed) override;
    void stopWatchingStillButton() override;
    bool watchingStillButton() const override;
    void forgetStillButton() override;

    CameraAddress address() const;

private:
    mutable std::mutex m_mutex;
    std::optional<CameraAddress> m_fixed;
    QString m_settingsFolder;
    std::unique_ptr<TriggerPoll> m_poll;
};

}  // namespace wifi
