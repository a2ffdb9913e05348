#pragma once

#include <QPointF>

#include <cstdint>
#include <vector>

namespace capture {

// The picture a simulated microscope looks at: a stage micrometer (a ruled
// scale 1 mm long in 100 divisions, numbered every 10) on a glass slide with
// a few cells and the fine grain of a specimen, seen through an objective
// whose field is 1.2 mm wide at any sensor resolution, by a sensor that adds
// its noise to every frame. Rendered once per resolution, a little larger
// than the frame, so that frames can drift across it cheaply.
class StageMicrometer {
public:
    static constexpr double kFieldWidthMm = 1.2;
    static constexpr int kDivisions = 100;  // 0.01 mm each

    // Renders the slide for frames of width x height; `textured` false
    // leaves out the specimen's grain and the sensor noise (a clean slide).
    void prepare(int width, int height, bool textured = true);

    int width() const { return m_width; }
    int height() const { return m_height; }
    // Frame pixels per millimetre, so tests know the true scale.
    double pixelsPerMm() const { return m_width / kFieldWidthMm; }
    // Where frame `t` shows the scale: the foot of tick 0 on the base line, in
    // frame pixels (tick i stands i divisions to its right), and how tall the
    // shortest ticks rise above the base line.
    QPointF scaleOrigin(int t) const;
    double shortTickHeight() const { return pixelsPerMm() * 0.035; }

    // The frame at drift step `t` (a slow circle of a few pixels) into a
    // top-down BGR buffer of width x height x 3 bytes, through `lut` per
    // channel (brightness, contrast, gamma and exposure of the controls).
    void frame(int t, const uint8_t (&lut)[3][256], uint8_t* bgr) const;

private:
    void addSpecimenTexture();
    // The frame's top left corner on the slide at drift step `t`.
    QPoint driftAt(int t) const;

    int m_width = 0;
    int m_height = 0;
    bool m_textured = false;
    int m_margin = 0;
    int m_slideWidth = 0;
    std::vector<uint8_t> m_slide;  // top-down BGR, (width + 2 margin) x (height + 2 margin)
    // Sensor noise: each frame row reads it from a different place.
    std::vector<int8_t> m_noise;
};

}  // namespace capture
