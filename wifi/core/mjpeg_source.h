#pragma once

#include "camera_address.h"
#include "camera_pages.h"
#include "http_get.h"
#include "mjpeg_parser.h"

#include "capture/device/capture_backend.h"

#include <QSize>

#include <atomic>
#include <chrono>
#include <mutex>
#include <vector>

namespace wifi {

// How patiently the stream is watched.
struct StreamTiming {
    int stallMs = 5000;  // no picture for this long: reconnect
    int connectMs = 3000;
    std::vector<int> backoffMs{500, 1000, 2000, 4000, 8000};  // pauses between attempts, the last repeats
};

// The WiFi microscope's MJPEG stream as a capture source. All the network
// work happens inside nextFrame() on the calling thread; a stream that stalls,
// ends or cannot connect is reopened there, so the camera is never gone.
class MjpegStreamSource : public capture::CaptureSource {
public:
    MjpegStreamSource(CameraAddress address, QSize streamSize, std::vector<capture::CameraControl> controls = {});
    ~MjpegStreamSource() override;
    MjpegStreamSource(const MjpegStreamSource&) = delete;
    MjpegStreamSource& operator=(const MjpegStreamSource&) = delete;

    // Before start().
    void setTiming(const StreamTiming& timing) { m_timing = timing; }
    // The camera's modes: the sizes offered are its usable ones the video
    // dialog takes (320 x 240 up to below 1600 x 1200); choosing another
    // asks the camera to switch, on the capture thread, and waits for it to
    // settle before the stream is opened again.
    void setModes(std::vector<CameraMode> modes) { m_modes = std::move(modes); }
    static constexpr int kSettleMs = 3000;
    void setCommandLimits(const HttpLimits& limits) { m_commandLimits = limits; }

    std::vector<capture::Capability> capabilities() override;
    bool setFormat(int32_t width, int32_t height, int32_t format) override;
    bool start() override;
    void stop() override;
    capture::FrameWait nextFrame(int timeoutMs, capture::DeviceFrame& frame) override;
    std::vector<capture::CameraControl> controls() override;
    // Sends the command to the camera (blocking, up to the command limits).
    bool setControl(uint32_t id, int32_t value) override;
    // The microscope's trigger is polled apart from the stream.
    bool stillButtonPressed() override { return false; }

    // True while the stream is being reopened; from any thread.
    bool reconnecting() const override { return m_reconnecting.load(); }
    // The camera streams in the mode it is in until asked for another.
    bool keepsItsMode() const override { return true; }
    // The usable modes from 320 x 240 up to 1280 x 1024, at most twelve, as
    // the camera writes them ("1280,720").
    std::vector<std::pair<QString, std::pair<int32_t, int32_t>>> menuSizes() const override;
    uint64_t droppedFrames() const { return m_dropped.load(); }

private:
    using Clock = std::chrono::steady_clock;

    void open(Clock::time_point now);
    void close();
    void reconnectLater(Clock::time_point now);
    static size_t onData(char* data, size_t size, size_t count, void* self);

    const CameraAddress m_address;
    QSize m_size;
    std::vector<CameraMode> m_modes;
    int m_switchTo = 0;  // the mode number asked for at the next start; 0: none
    StreamTiming m_timing;
    HttpLimits m_commandLimits;
    QByteArray m_url;

    void* m_multi = nullptr;  // CURLM*
    void* m_easy = nullptr;   // CURL*, while a connection is open
    bool m_started = false;
    bool m_headerSeen = false;
    bool m_transferEnded = false;
    MjpegParser m_parser;
    Clock::time_point m_startTime;
    Clock::time_point m_watchSince;  // opened or last picture
    Clock::time_point m_reopenAt;
    size_t m_attempt = 0;
    std::atomic<bool> m_reconnecting{false};
    std::atomic<uint64_t> m_dropped{0};

    mutable std::mutex m_controlsMutex;
    std::vector<capture::CameraControl> m_controls;
};

}  // namespace wifi
