#include "stage_micrometer.h"

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QRadialGradient>

#include <cmath>
#include <cstring>

namespace capture {

void StageMicrometer::prepare(int width, int height)
{
    if (width == m_width && height == m_height)
        return;
    m_width = width;
    m_height = height;
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
    const double left = (m_slideWidth - ppm) / 2.0;
    const double baseY = slideHeight * 0.55;
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
}

void StageMicrometer::frame(int t, const uint8_t (&lut)[3][256], uint8_t* bgr) const
{
    // A slow drift of a few pixels, as a stage never sits quite still.
    const double angle = t * 0.05;
    const int dx = m_margin + static_cast<int>(std::lround(std::cos(angle) * (m_margin - 2)));
    const int dy = m_margin + static_cast<int>(std::lround(std::sin(angle) * (m_margin - 2)));
    for (int y = 0; y < m_height; ++y) {
        const uint8_t* in = m_slide.data() + (size_t(y + dy) * m_slideWidth + dx) * 3;
        uint8_t* out = bgr + size_t(y) * m_width * 3;
        for (int x = 0; x < m_width; ++x) {
            out[x * 3] = lut[0][in[x * 3]];
            out[x * 3 + 1] = lut[1][in[x * 3 + 1]];
            out[x * 3 + 2] = lut[2][in[x * 3 + 2]];
        }
    }
}

}  // namespace capture
