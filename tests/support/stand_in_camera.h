#pragma once

// A camera of another kind than the simulated microscope: one MJPEG size,
// frames of one flat grey encoded once by Qt, no controls, no still button.
// A live window fed by it must work as with any other source.
#include "capture/device/capture_backend.h"

#include <QBuffer>
#include <QImage>

#include <chrono>
#include <thread>

namespace testing_support {

class StandInSource : public capture::CaptureSource {
public:
    explicit StandInSource(QSize size) : m_size(size)
    {
        QImage grey(size, QImage::Format_RGB888);
        grey.fill(QColor(40, 40, 40));
        QBuffer out(&m_jpeg);
        out.open(QIODevice::WriteOnly);
        grey.save(&out, "JPG", 95);
    }
    std::vector<capture::Capability> capabilities() override { return {{m_size.width(), m_size.height(), capture::FormatMJPG}}; }
    bool setFormat(int32_t w, int32_t h, int32_t f) override
    {
        return w == m_size.width() && h == m_size.height() && f == capture::FormatMJPG;
    }
    bool start() override { return true; }
    void stop() override {}
    capture::FrameWait nextFrame(int, capture::DeviceFrame& frame) override
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(33));
        frame.data = reinterpret_cast<const uint8_t*>(m_jpeg.constData());
        frame.size = static_cast<size_t>(m_jpeg.size());
        frame.width = m_size.width();
        frame.height = m_size.height();
        frame.format = capture::FormatMJPG;
        return capture::FrameWait::Frame;
    }
    std::vector<capture::CameraControl> controls() override { return {}; }
    bool setControl(uint32_t, int32_t) override { return false; }
    bool stillButtonPressed() override { return false; }

private:
    QSize m_size;
    QByteArray m_jpeg;
};

// One stand-in camera that passes for a microscope of ours.
class StandInBackend : public capture::CaptureBackend {
public:
    explicit StandInBackend(QSize size = QSize(640, 480)) : m_size(size) {}
    const char* name() const override { return "stand-in"; }
    std::vector<capture::FoundDevice> enumerate() override { return {{QString::fromLatin1(kPath), QStringLiteral("Stand-in")}}; }
    std::unique_ptr<capture::CaptureSource> open(const QString& path) override
    {
        return path == QLatin1String(kPath) ? std::make_unique<StandInSource>(m_size) : nullptr;
    }

private:
    static constexpr const char* kPath = "usb#vid_14c3&pid_1301#STANDIN#/dev/standin0";
    QSize m_size;
};

}  // namespace testing_support
