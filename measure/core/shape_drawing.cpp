#include "shape_drawing.h"

#include "measure_state.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace measure {

namespace {

constexpr double kArrowAngle = 0.5235988;  // 30 degrees
constexpr double kBarAngle = 1.5707964;    // 90 degrees
constexpr double kArrowLength = 20;

QPoint offset(QPoint from, double angle)
{
    return {static_cast<int>(from.x() + kArrowLength * std::cos(angle)),
            static_cast<int>(from.y() + kArrowLength * std::sin(angle))};
}

int roundHalfUp(double v)
{
    return static_cast<int>(std::floor(v + 0.5));
}

}  // namespace

QPoint toDrawing(const Point2d& p, double zoomX, double zoomY)
{
    return {static_cast<int>(p.x * zoomX + 0.5), static_cast<int>(p.y * zoomY + 0.5)};
}

QRectF circleBox(const Point2d& centre, double radius, double zoomX, double zoomY)
{
    return QRectF(QPointF((centre.x - radius) * zoomX, (centre.y - radius) * zoomY),
                  QPointF((centre.x + radius) * zoomX, (centre.y + radius) * zoomY));
}

void drawCrosshair(QPainter& p, QPoint at)
{
    p.drawLine(at.x() - 10, at.y(), at.x() + 10, at.y());
    p.drawLine(at.x(), at.y() - 10, at.x(), at.y() + 10);
}

void drawArrowhead(QPainter& p, QPoint tip, QPoint other, bool endBar)
{
    const double theta = std::atan2(other.y() - tip.y(), other.x() - tip.x());
    p.drawLine(tip, offset(tip, theta + kArrowAngle));
    p.drawLine(tip, offset(tip, theta - kArrowAngle));
    if (endBar)
        p.drawLine(offset(tip, theta + kBarAngle), offset(tip, theta - kBarAngle));
}

void drawMeasuredSegment(QPainter& p, QPoint a, QPoint b, bool endBars)
{
    p.drawLine(a, b);
    drawArrowhead(p, a, b, endBars);
    drawArrowhead(p, b, a, endBars);
}

void drawExtensionLine(QPainter& p, QPoint a, QPoint b, int pictureWidth, int pictureHeight, const QColor& colour)
{
    p.save();
    p.setPen(QPen(colour, 1));
    const double dx = b.x() - a.x();
    const double dy = b.y() - a.y();
    std::vector<QPoint> pixels;
    if (dx == 0) {
        for (int y = 0; y < pictureHeight; ++y) {
            pixels.emplace_back(a.x(), y);
            pixels.emplace_back(a.x() + 1, y);
        }
    } else {
        const double k = dy / dx;
        const double c = a.y() - k * a.x();
        if (std::abs(dy) <= std::abs(dx)) {
            for (int x = 0; x <= pictureWidth; ++x) {
                const double y = k * x + c;
                if (y > 0 && y < pictureHeight) {
                    pixels.emplace_back(x, roundHalfUp(y));
                    pixels.emplace_back(x, roundHalfUp(y) - 1);
                }
            }
        } else {
            for (int y = 0; y <= pictureHeight; ++y) {
                const double x = (y - c) / k;
                if (x > 0 && x < pictureWidth) {
                    pixels.emplace_back(roundHalfUp(x), y);
                    pixels.emplace_back(roundHalfUp(x) - 1, y);
                }
            }
        }
    }
    p.drawPoints(pixels.data(), static_cast<int>(pixels.size()));
    p.restore();
}

QPoint keptInside(QPoint at, QSize block, QSize inside)
{
    if (inside.isEmpty())
        return at;
    return QPoint(std::max(0, std::min(at.x(), inside.width() - block.width())),
                  std::max(0, std::min(at.y(), inside.height() - block.height())));
}

void drawLabels(QPainter& p, const Point2d& anchor, double zoomX, double zoomY, int fontSize, const QColor& colour,
                const std::vector<LabelRow>& rows, QSize inside)
{
    p.save();
    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(std::max(1, fontSize));
    font.setWeight(QFont::Normal);
    p.setFont(font);
    p.setPen(colour);
    p.setBackgroundMode(Qt::TransparentMode);
    const QFontMetrics metrics(font);
    QSize block;
    for (const LabelRow& r : rows) {
        if (r.shown)
            block = block.expandedTo(QSize(metrics.horizontalAdvance(r.text), r.row * fontSize + metrics.height()));
    }
    const QPoint at = keptInside(QPoint(static_cast<int>(anchor.x * zoomX), static_cast<int>(anchor.y * zoomY)), block, inside);
    for (const LabelRow& r : rows) {
        if (r.shown)
            p.drawText(at.x(), at.y() + r.row * fontSize + metrics.ascent(), r.text);
    }
    p.restore();
}

QString labelValue(const char* prefix, double value, Quantity quantity, bool showUnit, const MeasureState& settings)
{
    QString s = QLatin1String(prefix) + settings.format(value);
    if (!showUnit)
        return s;
    switch (quantity) {
    case Quantity::Length: return s + settings.unit;
    case Quantity::Area: return s + settings.unit + QChar(0x00B2);
    case Quantity::Angle: return s + QChar(0x00B0);
    }
    return s;
}

}  // namespace measure
