#include "stage_micrometer.h"

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QRadialGradient>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace capture {

namespace {

// A fixed pseudo-random number for each point: the same slide every run.
uint32_t hashOf(uint32_t x, uint32_t y)
{
    uint32_t h = x * 0x9E3779B1u ^ (y + 0x7F4A7C15u) * 0x85EBCA77u;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    return h;
}

// Smooth value noise in -1 .. 1 over an area, with features about cellX by
// cellY pixels: random values on a lattice, blended between its points.
class ValueNoise {
public:
    ValueNoise(int width, int height, double cellX, double cellY, uint32_t seed)
        : m_cellX(cellX), m_cellY(cellY), m_columns(static_cast<int>(width / cellX) + 2)
    {
        const int rows = static_cast<int>(height / cellY) + 2;
        m_lattice.resize(size_t(m_columns) * rows);
        for (int j = 0; j < rows; ++j)
            for (int i = 0; i < m_columns; ++i)
                m_lattice[size_t(j) * m_columns + i] = float((hashOf(uint32_t(i) + seed, uint32_t(j)) & 0xFFFF) / 32767.5 - 1.0);
        m_weightX.resize(size_t(width));
        m_cellOfX.resize(size_t(width));
        for (int x = 0; x < width; ++x) {
            const double f = x / cellX;
            m_cellOfX[size_t(x)] = static_cast<int>(f);
            m_weightX[size_t(x)] = smooth(float(f - static_cast<int>(f)));
        }
    }
    // The values of row y, for x = 0 .. width - 1, into `out`.
    void row(int y, std::vector<float>& out) const
    {
        const double f = y / m_cellY;
        const int j = static_cast<int>(f);
        const float wy = smooth(float(f - j));
        const float* top = m_lattice.data() + size_t(j) * m_columns;
        const float* bottom = top + m_columns;
        for (size_t x = 0; x < out.size(); ++x) {
            const int i = m_cellOfX[x];
            const float wx = m_weightX[x];
            const float a = top[i] + (top[i + 1] - top[i]) * wx;
            const float b = bottom[i] + (bottom[i + 1] - bottom[i]) * wx;
            out[x] = a + (b - a) * wy;
        }
    }

private:
    static float smooth(float t) { return t * t * (3 - 2 * t); }

    double m_cellX, m_cellY;
    int m_columns;
    std::vector<float> m_lattice;
    std::vector<float> m_weightX;
    std::vector<int> m_cellOfX;
};

// The scale's tick 0 on the slide.
double scaleLeft(int slideWidth, double ppm)
{
    return (slideWidth - ppm) / 2.0;
}

double scaleBase(int slideHeight)
{
    return slideHeight * 0.55;
}

constexpr size_t kNoiseLength = size_t(1) << 18;
constexpr int kNoiseReach = 3;  // the noise stays within -3 .. 3

}  // namespace

void StageMicrometer::prepare(int width, int height, bool textured)
{
    if (width == m_width && height == m_height && textured == m_textured)
        return;
    m_width = width;
    m_height = height;
    m_textured = textured;
    m_margin = std::max(8, width / 100);
    m_slideWidth = width + 2 * m_margin;
    const int slideHeight = height + 2 * m_margin;

    QImage img(m_slideWidth, slideHeight, QImage::Format_RGB888);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QRadialGradient light(m_slideWidth / 2.0, slideHeight / 2.0, m_slideWidth * 0.75);
    light.setColorAt(0, QColor(0xf2, 0xf0, 0xea));
    light.setColorAt(1, QColor(0x9a, 0x96, 0x8c));
    p.fillRect(img.rect(), light);

    const double ppm = pixelsPerMm();
    // A few stained cells behind the scale.
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 14; ++i) {
        const double cx = std::fmod(i * 0.37 + 0.11, 1.0) * m_slideWidth;
        const double cy = std::fmod(i * 0.61 + 0.23, 1.0) * slideHeight;
        const double r = ppm * (0.03 + 0.02 * std::fmod(i * 0.53, 1.0));
        p.setBrush(QColor(0xa0, 0x60, 0x90, 70));
        p.drawEllipse(QPointF(cx, cy), r * 1.3, r);
        p.setBrush(QColor(0x60, 0x30, 0x60, 110));
        p.drawEllipse(QPointF(cx + r * 0.2, cy), r * 0.35, r * 0.3);
    }

    // The scale: 100 divisions of 0.01 mm, longer every 5 and 10, numbered.
    const double left = scaleLeft(m_slideWidth, ppm);
    const double baseY = scaleBase(slideHeight);
    const double unit = ppm / kDivisions;
    const QColor ink(0x1c, 0x1c, 0x22);
    p.setPen(QPen(ink, std::max(1.0, ppm / 600.0), Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(left, baseY), QPointF(left + ppm, baseY));
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(std::max(8, static_cast<int>(ppm / 28)));
    p.setFont(font);
    for (int i = 0; i <= kDivisions; ++i) {
        const double x = left + i * unit;
        const double len = ppm * (i % 10 == 0 ? 0.08 : i % 5 == 0 ? 0.055 : 0.035);
        p.drawLine(QPointF(x, baseY), QPointF(x, baseY - len));
        if (i % 10 == 0)
            p.drawText(QPointF(x - font.pixelSize() * 0.3, baseY - ppm * 0.1), QString::number(i / 10));
    }
    p.drawText(QPointF(left, baseY + ppm * 0.09), QStringLiteral("1 DIV = 0.01 mm"));
    p.end();

    m_slide.resize(size_t(m_slideWidth) * slideHeight * 3);
    for (int y = 0; y < slideHeight; ++y) {
        const uchar* line = img.constScanLine(y);
        uint8_t* out = m_slide.data() + size_t(y) * m_slideWidth * 3;
        for (int x = 0; x < m_slideWidth; ++x) {
            out[x * 3] = line[x * 3 + 2];
            out[x * 3 + 1] = line[x * 3 + 1];
            out[x * 3 + 2] = line[x * 3];
        }
    }
    if (textured)
        addSpecimenTexture();
}

void StageMicrometer::addSpecimenTexture()
{
    // The specimen's grain: fibres a few micrometres across and finer
    // speckle, brightening and darkening the slide (the ink stays dark).
    const int slideHeight = m_height + 2 * m_margin;
    const double micrometre = pixelsPerMm() / 1000.0;
    const double fibre = std::max(2.0, 4 * micrometre), speckle = std::max(1.0, 1.5 * micrometre);
    const ValueNoise fibres(m_slideWidth, slideHeight, fibre, fibre * 0.4, 17);
    const ValueNoise speckles(m_slideWidth, slideHeight, speckle, speckle, 91);
    std::vector<float> a(static_cast<size_t>(m_slideWidth)), b(static_cast<size_t>(m_slideWidth));
    for (int y = 0; y < slideHeight; ++y) {
        fibres.row(y, a);
        speckles.row(y, b);
        uint8_t* row = m_slide.data() + size_t(y) * m_slideWidth * 3;
        for (int x = 0; x < m_slideWidth; ++x) {
            const float fine = (hashOf(uint32_t(x), uint32_t(y)) & 0xFF) / 127.5f - 1.0f;
            const float grain = 0.06f * a[size_t(x)] + 0.03f * b[size_t(x)] + 0.01f * fine;
            // A faint stain follows the grain: a little more red and blue where it is dense.
            const int grey = static_cast<int>(256 * (1 + grain)), stained = static_cast<int>(256 * (1 + grain * 1.15f));
            for (int c = 0; c < 3; ++c)
                row[x * 3 + c] = static_cast<uint8_t>(std::min(255, (row[x * 3 + c] * (c == 1 ? grey : stained)) >> 8));
        }
    }
    // The sensor's noise, a level or two, mostly in brightness.
    m_noise.resize(kNoiseLength);
    for (size_t i = 0; i < kNoiseLength; i += 3) {
        const uint32_t h = hashOf(uint32_t(i), 0x51ED);
        const int shared = int(h % 3) + int((h >> 2) % 3) - 2;  // -2 .. 2, most near 0
        for (size_t c = 0; c < 3 && i + c < kNoiseLength; ++c)
            m_noise[i + c] = static_cast<int8_t>(shared + int((h >> (8 + 2 * c)) % 3) - 1);  // -3 .. 3
    }
}

QPoint StageMicrometer::driftAt(int t) const
{
    // A slow drift of a few pixels, as a stage never sits quite still.
    const double angle = t * 0.05;
    return {m_margin + static_cast<int>(std::lround(std::cos(angle) * (m_margin - 2))),
            m_margin + static_cast<int>(std::lround(std::sin(angle) * (m_margin - 2)))};
}

QPointF StageMicrometer::scaleOrigin(int t) const
{
    const QPoint drift = driftAt(t);
    return {scaleLeft(m_slideWidth, pixelsPerMm()) - drift.x(), scaleBase(m_height + 2 * m_margin) - drift.y()};
}

void StageMicrometer::frame(int t, const uint8_t (&lut)[3][256], uint8_t* bgr) const
{
    const QPoint drift = driftAt(t);
    const int dx = drift.x(), dy = drift.y();
    // The controls' tables, widened for a slide value plus its noise.
    uint8_t noisy[3][256 + 2 * kNoiseReach];
    for (int c = 0; c < 3; ++c)
        for (int v = 0; v < 256 + 2 * kNoiseReach; ++v)
            noisy[c][v] = lut[c][std::clamp(v - kNoiseReach, 0, 255)];
    for (int y = 0; y < m_height; ++y) {
        const uint8_t* in = m_slide.data() + (size_t(y + dy) * m_slideWidth + dx) * 3;
        uint8_t* out = bgr + size_t(y) * m_width * 3;
        if (!m_textured) {
            for (int x = 0; x < m_width; ++x) {
                out[x * 3] = lut[0][in[x * 3]];
                out[x * 3 + 1] = lut[1][in[x * 3 + 1]];
                out[x * 3 + 2] = lut[2][in[x * 3 + 2]];
            }
            continue;
        }
        // Each row of each frame takes its noise from another place.
        const size_t from = hashOf(uint32_t(y), uint32_t(t)) % (kNoiseLength - size_t(m_width) * 3 - 3) / 3 * 3;
        const int8_t* noise = m_noise.data() + from;
        for (int x = 0; x < m_width * 3; x += 3) {
            out[x] = noisy[0][in[x] + kNoiseReach + noise[x]];
            out[x + 1] = noisy[1][in[x + 1] + kNoiseReach + noise[x + 1]];
            out[x + 2] = noisy[2][in[x + 2] + kNoiseReach + noise[x + 2]];
        }
    }
}

}  // namespace capture
