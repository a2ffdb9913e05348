#include "simulated_camera.h"

#include <linux/videodev2.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <jpeglib.h>

namespace capture {

namespace {

std::vector<Capability> sizesOf(SimulatedCamera::Model model)
{
    std::vector<Capability> caps;
    if (model == SimulatedCamera::Model::Model1) {
        for (auto [w, h] : {std::pair{640, 480}, {800, 600}, {1024, 768}, {1280, 1024}})
            caps.push_back({w, h, FormatYUY2});
        for (auto [w, h] : {std::pair{320, 240}, {640, 480}, {800, 600}, {1024, 768}, {1280, 1024}})
            caps.push_back({w, h, FormatMJPG});
        caps.push_back({160, 120, FormatYUY2});  // too small for the table, as real cameras offer
    } else {
        for (auto [w, h] : {std::pair{640, 480}, {1280, 720}, {1920, 1080}})
            caps.push_back({w, h, FormatYUY2});
        for (auto [w, h] : {std::pair{640, 480}, {1280, 720}, {1600, 1200}, {1920, 1080}, {2592, 1944}})
            caps.push_back({w, h, FormatMJPG});
    }
    return caps;
}

uint8_t clamp8(double v)
{
    return static_cast<uint8_t>(std::clamp(std::lround(v), 0L, 255L));
}

CameraControl range(uint32_t id, const char* name, int32_t minimum, int32_t maximum, int32_t step, int32_t defaultValue)
{
    CameraControl c;
    c.id = id;
    c.name = name;
    c.minimum = minimum;
    c.maximum = maximum;
    c.step = step;
    c.defaultValue = c.value = defaultValue;
    return c;
}

CameraControl choice(uint32_t id, const char* name, int32_t defaultValue, std::vector<CameraControl::Choice> choices)
{
    CameraControl c = range(id, name, 0, choices.back().value, 1, defaultValue);
    c.choices = std::move(choices);
    return c;
}

CameraControl onOff(uint32_t id, const char* name, bool on)
{
    CameraControl c = range(id, name, 0, 1, 1, on ? 1 : 0);
    c.isSwitch = true;
    return c;
}

}  // namespace

SimulatedCamera::SimulatedCamera(Model model, int number) : m_model(model), m_number(number), m_caps(sizesOf(model))
{
    m_controls = {
        range(V4L2_CID_BRIGHTNESS, "Brightness", -64, 64, 1, 0),
        range(V4L2_CID_CONTRAST, "Contrast", 0, 64, 1, 32),
        range(V4L2_CID_SATURATION, "Saturation", 0, 128, 1, 64),
        range(V4L2_CID_HUE, "Hue", -40, 40, 1, 0),
        onOff(V4L2_CID_AUTO_WHITE_BALANCE, "White Balance, Automatic", true),
        range(V4L2_CID_GAMMA, "Gamma", 72, 500, 1, 100),
        range(V4L2_CID_GAIN, "Gain", 0, 100, 1, 0),
        choice(V4L2_CID_POWER_LINE_FREQUENCY, "Power Line Frequency", 1, {{0, "Disabled"}, {1, "50 Hz"}, {2, "60 Hz"}}),
        range(V4L2_CID_WHITE_BALANCE_TEMPERATURE, "White Balance Temperature", 2800, 6500, 10, 4600),
        range(V4L2_CID_SHARPNESS, "Sharpness", 0, 6, 1, 3),
        range(V4L2_CID_BACKLIGHT_COMPENSATION, "Backlight Compensation", 0, 2, 1, 1),
        choice(V4L2_CID_EXPOSURE_AUTO, "Auto Exposure", V4L2_EXPOSURE_APERTURE_PRIORITY,
               {{V4L2_EXPOSURE_MANUAL, "Manual Mode"}, {V4L2_EXPOSURE_APERTURE_PRIORITY, "Aperture Priority Mode"}}),
        range(V4L2_CID_EXPOSURE_ABSOLUTE, "Exposure Time, Absolute", 1, 5000, 1, 156),
    };
    std::lock_guard lock(m_controlsMutex);
    updateLut();
}

QString SimulatedCamera::devicePath() const
{
    return QStringLiteral("usb#vid_14c3&pid_1301#SIM%1#/dev/simulated%1").arg(m_number);
}

QString SimulatedCamera::friendlyName() const
{
    return QStringLiteral("Simulated Microscope %1").arg(m_number);
}

bool SimulatedCamera::setFormat(int32_t width, int32_t height, int32_t format)
{
    const bool offered = std::any_of(m_caps.begin(), m_caps.end(), [&](const Capability& c) {
        return c.width == width && c.height == height && c.format == format;
    });
    if (!offered)
        return false;
    m_width = width;
    m_height = height;
    m_format = format;
    m_slide.prepare(m_width, m_height, m_textured);  // now, not on the first frame
    return true;
}

std::vector<CameraControl> SimulatedCamera::controls() const
{
    std::lock_guard lock(m_controlsMutex);
    return m_controls;
}

bool SimulatedCamera::setControl(uint32_t id, int32_t value)
{
    std::lock_guard lock(m_controlsMutex);
    CameraControl* c = findControl(m_controls, id);
    if (!c || (c->flags & V4L2_CTRL_FLAG_INACTIVE))
        return false;
    if (!c->choices.empty()) {
        if (std::none_of(c->choices.begin(), c->choices.end(), [&](const auto& ch) { return ch.value == value; }))
            return false;
        c->value = value;
    } else {
        c->value = std::clamp(value, c->minimum, c->maximum);
    }
    updateLut();
    return true;
}

int32_t SimulatedCamera::control(uint32_t id) const
{
    std::lock_guard lock(m_controlsMutex);
    return valueOf(id);
}

int32_t SimulatedCamera::valueOf(uint32_t id) const
{
    const CameraControl* c = findControl(m_controls, id);
    return c ? c->value : 0;
}

void SimulatedCamera::updateLut()
{
    // An automatic mode holds its manual control still, as the camera's firmware does.
    const bool autoWhite = valueOf(V4L2_CID_AUTO_WHITE_BALANCE) != 0;
    const bool autoExposure = valueOf(V4L2_CID_EXPOSURE_AUTO) != V4L2_EXPOSURE_MANUAL;
    auto setInactive = [this](uint32_t id, bool inactive) {
        if (CameraControl* c = findControl(m_controls, id))
            c->flags = inactive ? (c->flags | V4L2_CTRL_FLAG_INACTIVE) : (c->flags & ~uint32_t(V4L2_CTRL_FLAG_INACTIVE));
    };
    setInactive(V4L2_CID_WHITE_BALANCE_TEMPERATURE, autoWhite);
    setInactive(V4L2_CID_EXPOSURE_ABSOLUTE, autoExposure);

    // Brightness shifts, contrast scales around mid-grey, gamma bends,
    // exposure and gain brighten, a manual white balance warms or cools.
    const double brightness = valueOf(V4L2_CID_BRIGHTNESS);
    const double contrast = valueOf(V4L2_CID_CONTRAST) / 32.0;
    const double gamma = valueOf(V4L2_CID_GAMMA) / 100.0;
    const double exposure = autoExposure ? 0.0 : std::log2(std::max(1, valueOf(V4L2_CID_EXPOSURE_ABSOLUTE)) / 156.0) * 24.0;
    const double gain = valueOf(V4L2_CID_GAIN) * 0.4;
    const double warmth = autoWhite ? 0.0 : (valueOf(V4L2_CID_WHITE_BALANCE_TEMPERATURE) - 4600) / 1900.0 * 20.0;
    for (int i = 0; i < 256; ++i) {
        const double g = 255.0 * std::pow(i / 255.0, 1.0 / gamma);
        const double v = (g - 128.0) * contrast + 128.0 + brightness + exposure + gain;
        m_lut[0][i] = clamp8(v + warmth);  // blue
        m_lut[1][i] = clamp8(v);
        m_lut[2][i] = clamp8(v - warmth);  // red
    }
    // Saturation scales the colour differences, hue turns them (degrees).
    const double saturation = valueOf(V4L2_CID_SATURATION) / 64.0;
    const double angle = valueOf(V4L2_CID_HUE) * 3.14159265358979 / 180.0;
    m_chroma = {float(saturation * std::cos(angle)), float(-saturation * std::sin(angle)), float(saturation * std::sin(angle)),
                float(saturation * std::cos(angle))};
}

bool SimulatedCamera::capture(int t, std::vector<uint8_t>& out)
{
    if (!plugged())
        return false;
    {
        std::lock_guard lock(m_controlsMutex);
        std::memcpy(m_frameLut, m_lut, sizeof m_lut);
        m_frameChroma = m_chroma;
    }
    m_slide.prepare(m_width, m_height, m_textured);
    m_bgr.resize(size_t(m_width) * m_height * 3);
    m_slide.frame(t, m_frameLut, m_bgr.data());
    applyChroma();
    if (m_format == FormatMJPG) {
        encodeJpeg(out);
        return true;
    }
    // BGR to YUYV, BT.601 studio range; the pair shares its chroma.
    out.resize(size_t(m_width) * m_height * 2);
    const uint8_t* in = m_bgr.data();
    uint8_t* o = out.data();
    for (size_t i = 0; i < size_t(m_width) * m_height; i += 2, in += 6, o += 4) {
        const int b0 = in[0], g0 = in[1], r0 = in[2], b1 = in[3], g1 = in[4], r1 = in[5];
        const int y0 = ((66 * r0 + 129 * g0 + 25 * b0 + 128) >> 8) + 16;
        const int y1 = ((66 * r1 + 129 * g1 + 25 * b1 + 128) >> 8) + 16;
        const int r = (r0 + r1) / 2, g = (g0 + g1) / 2, b = (b0 + b1) / 2;
        o[0] = static_cast<uint8_t>(y0);
        o[1] = static_cast<uint8_t>(((-38 * r - 74 * g + 112 * b + 128) >> 8) + 128);
        o[2] = static_cast<uint8_t>(y1);
        o[3] = static_cast<uint8_t>(((112 * r - 94 * g - 18 * b + 128) >> 8) + 128);
    }
    return true;
}

void SimulatedCamera::applyChroma()
{
    const auto [a, b, c, d] = m_frameChroma;
    if (a == 1.0f && b == 0.0f && c == 0.0f && d == 1.0f)
        return;
    for (size_t i = 0; i + 2 < m_bgr.size(); i += 3) {
        uint8_t* p = &m_bgr[i];
        const float y = 0.114f * p[0] + 0.587f * p[1] + 0.299f * p[2];
        const float u = p[0] - y, v = p[2] - y;
        const float u2 = a * u + b * v, v2 = c * u + d * v;
        p[0] = clamp8(y + u2);
        p[2] = clamp8(y + v2);
        p[1] = clamp8(y - (0.114f * u2 + 0.299f * v2) / 0.587f);
    }
}

void SimulatedCamera::encodeJpeg(std::vector<uint8_t>& out)
{
    jpeg_compress_struct c;
    jpeg_error_mgr err;
    c.err = jpeg_std_error(&err);  // the input is our own: libjpeg cannot fail on it
    jpeg_create_compress(&c);
    if (out.capacity() < size_t(m_width) * m_height)
        out.reserve(size_t(m_width) * m_height);
    out.resize(out.capacity());
    unsigned char* buffer = out.data();
    unsigned long size = static_cast<unsigned long>(out.size());
    jpeg_mem_dest(&c, &buffer, &size);
    c.image_width = static_cast<JDIMENSION>(m_width);
    c.image_height = static_cast<JDIMENSION>(m_height);
    c.input_components = 3;
    c.in_color_space = JCS_EXT_BGR;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, 85, TRUE);
    // 4:2:2, as UVC cameras send.
    c.comp_info[0].h_samp_factor = 2;
    c.comp_info[0].v_samp_factor = 1;
    c.dct_method = JDCT_ISLOW;
    jpeg_start_compress(&c, TRUE);
    while (c.next_scanline < c.image_height) {
        JSAMPROW row = m_bgr.data() + size_t(c.next_scanline) * m_width * 3;
        jpeg_write_scanlines(&c, &row, 1);
    }
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    if (buffer != out.data()) {  // libjpeg needed more room and allocated it
        out.assign(buffer, buffer + size);
        std::free(buffer);
    } else {
        out.resize(size);
    }
}

}  // namespace capture
