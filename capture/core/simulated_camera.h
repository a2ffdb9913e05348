#pragma once

#include "camera_control.h"
#include "resolution_table.h"
#include "stage_micrometer.h"

#include <QString>

#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <vector>

namespace capture {

// A microscope without hardware: it looks at a stage micrometer, offers the
// frame sizes of a real model in YUY2 and MJPG, sends real YUYV or JPEG
// bytes for every frame, has picture controls that change what it sends,
// a still button and a cable that tests can pull.
class SimulatedCamera {
public:
    enum class Model {
        Model1,        // up to 1280 x 1024, as the common microscopes
        FiveMegapixel  // up to 2592 x 1944, with full HD
    };

    SimulatedCamera(Model model, int number);

    // usb#vid_14c3&pid_1301#SIM<number>#/dev/simulated<number>
    QString devicePath() const;
    QString friendlyName() const;
    const std::vector<Capability>& capabilities() const { return m_caps; }

    // Chooses a size the camera offers; false for any other.
    bool setFormat(int32_t width, int32_t height, int32_t format);
    int32_t width() const { return m_width; }
    int32_t height() const { return m_height; }
    int32_t format() const { return m_format; }

    // The controls as a UVC microscope offers them: the picture controls, the
    // automatic white balance and exposure (whose manual controls are
    // inactive, and refused, while they are on), gain, power-line frequency
    // and backlight compensation. Safe from any thread, also while streaming.
    std::vector<CameraControl> controls() const;
    // Clamps a range to its limits; refuses a choice the control lacks, an
    // inactive control and an unknown id.
    bool setControl(uint32_t id, int32_t value);
    int32_t control(uint32_t id) const;

    // The bytes of frame number `t` as the camera sends them: YUYV (width x
    // height x 2) or one JPEG. `out` keeps its capacity between frames.
    bool capture(int t, std::vector<uint8_t>& out);
    // The same frame as BGR rows, top first (what the sensor saw).
    const std::vector<uint8_t>& lastPicture() const { return m_bgr; }
    const StageMicrometer& slide() const { return m_slide; }
    // The specimen's grain and the sensor's noise (on unless switched off):
    // without them the slide compresses far better than a real sample.
    void setSpecimenTexture(bool on) { m_textured = on; }

    void pressStill() { m_still.store(true); }
    bool takeStillPress() { return m_still.exchange(false); }
    void unplug() { m_plugged.store(false); }
    void plugIn() { m_plugged.store(true); }
    bool plugged() const { return m_plugged.load(); }

private:
    // With the controls' lock held.
    void updateLut();
    int32_t valueOf(uint32_t id) const;
    void applyChroma();
    void encodeJpeg(std::vector<uint8_t>& out);

    Model m_model;
    int m_number;
    std::vector<Capability> m_caps;
    int32_t m_width = 640;
    int32_t m_height = 480;
    int32_t m_format = FormatYUY2;
    mutable std::mutex m_controlsMutex;
    std::vector<CameraControl> m_controls;
    uint8_t m_lut[3][256];
    // Saturation and hue as a matrix on the colour differences; identity
    // (and skipped) at their defaults.
    std::array<float, 4> m_chroma{1, 0, 0, 1};
    // The capture's copies, taken once a frame.
    uint8_t m_frameLut[3][256];
    std::array<float, 4> m_frameChroma{1, 0, 0, 1};
    StageMicrometer m_slide;
    bool m_textured = true;
    std::vector<uint8_t> m_bgr;
    std::atomic<bool> m_still{false};
    std::atomic<bool> m_plugged{true};
};

}  // namespace capture
