#include "overlay_painter.h"

#include <QFontMetrics>
#include <QPaintEngine>
#include <QPainter>

#include <algorithm>

namespace measure {

namespace {

int scaled(double v)
{
    return static_cast<int>(v + 0.5);
}

// The label with its top-left corner at `at`.
void drawLabel(QPainter& p, QPoint at, const OverlayParams& o)
{
    if (o.labelImage) {
        p.drawImage(at, *o.labelImage);
    } else if (!o.label.isEmpty()) {
        p.drawText(at + QPoint(0, p.fontMetrics().ascent()), o.label);
    }
}

// The white bars in the top-left corner that show the spacing.
void scaleBars(QPainter& p, int sx, int sy, const OverlayParams& o, bool scaleCrossLabel)
{
    p.drawLine(20, 15, 20, 25);
    p.drawLine(20, 20, 20 + sx, 20);
    p.drawLine(20 + sx, 15, 20 + sx, 25);
    drawLabel(p, QPoint(sx + 25, 15), o);
    p.drawLine(15, 20, 25, 20);
    p.drawLine(20, 20, 20, 20 + sy);
    p.drawLine(15, 20 + sy, 25, 20 + sy);
    drawLabel(p, scaleCrossLabel ? QPoint(15, sy + 25) : QPoint(20, sy + 20), o);
}

}  // namespace

QImage renderOverlayLabel(const QString& label, const QFont& font)
{
    if (label.isEmpty())
        return {};
    const QFontMetrics metrics(font);
    QImage img(metrics.horizontalAdvance(label) + 2, metrics.height() + 2, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QPoint(0, metrics.ascent()), label);
    return img;
}

bool axisLinesAsRects(QPainter& p)
{
    const QPen& pen = p.pen();
    return pen.style() == Qt::SolidLine && pen.capStyle() == Qt::SquareCap && pen.widthF() <= 1
        && pen.brush().style() == Qt::SolidPattern && !p.testRenderHint(QPainter::Antialiasing)
        && p.transform().type() <= QTransform::TxTranslate && p.paintEngine() && p.paintEngine()->type() == QPaintEngine::Raster;
}

void drawAxisLine(QPainter& p, bool asRect, int x1, int y1, int x2, int y2)
{
    if (asRect && (x1 == x2 || y1 == y2))
        p.fillRect(QRect(QPoint(std::min(x1, x2), std::min(y1, y2)), QPoint(std::max(x1, x2), std::max(y1, y2))),
                   p.pen().color());
    else
        p.drawLine(x1, y1, x2, y2);
}

int scaleTickHalfLength(int k)
{
    if (k > 0 && k % 10 == 0)
        return 20;
    if (k % 10 == 5)
        return 10;
    return 5;
}

void paintOverlay(QPainter& p, const OverlayParams& o)
{
    if (o.mode < OverlayCrosshair || o.mode > OverlayScaleCross)
        return;
    // Pen and brush are set here and left as they are (no save/restore: the
    // live picture paints every frame with a painter kept open).
    p.setBrush(Qt::NoBrush);
    const QPen& coloured = o.colouredPen ? *o.colouredPen : QPen(o.colour, qMax(1, o.lineWidth));
    const QPen& white = o.whitePen ? *o.whitePen : QPen(Qt::white, qMax(1, o.lineWidth));
    const int sx = scaled(o.spacing * o.zoomX);
    const int sy = scaled(o.spacing * o.zoomY);
    const int w = scaled(o.frameWidth * o.zoomX);
    const int h = scaled(o.frameHeight * o.zoomY);
    const int cx = scaled(o.frameWidth * o.zoomX * 0.5);
    const int cy = scaled(o.frameHeight * o.zoomY * 0.5);

    switch (o.mode) {
    case OverlayCrosshair: {
        p.setPen(coloured);
        const int y = scaled(o.crossY * o.zoomY) - o.scrollY;
        const int x = scaled(o.crossX * o.zoomX) - o.scrollX;
        const bool asRect = axisLinesAsRects(p);
        drawAxisLine(p, asRect, 0, y, w, y);
        drawAxisLine(p, asRect, x, 0, x, h);
        break;
    }
    case OverlayGrid: {
        if (sx <= 0 || sy <= 0)
            break;
        p.setPen(white);
        scaleBars(p, sx, sy, o, false);
        p.setPen(coloured);
        const bool asRect = axisLinesAsRects(p);
        for (int y = sy; y < h; y += sy)
            drawAxisLine(p, asRect, 0, y, w, y);
        for (int x = sx; x < w; x += sx)
            drawAxisLine(p, asRect, x, 0, x, h);
        break;
    }
    case OverlayCircleGrid:
        if (sx <= 0 || sy <= 0)
            break;
        p.setPen(white);
        p.drawEllipse(QRect(QPoint(sx, sy), QPoint(3 * sx - 1, 3 * sy - 1)));
        p.drawLine(2 * sx, 2 * sy, 3 * sx, 2 * sy);
        drawLabel(p, QPoint(2 * sx, 2 * sy), o);
        p.setPen(coloured);
        p.drawLine(cx - 20, cy, cx + 20, cy);
        p.drawLine(cx, cy - 20, cx, cy + 20);
        for (int k = 1; o.circlesToHalfWidth ? k * sx < cx : k * sy < cy; ++k)
            p.drawEllipse(QRect(QPoint(cx - k * sx, cy - k * sy), QPoint(cx + k * sx - 1, cy + k * sy - 1)));
        break;
    case OverlayScaleCross: {
        if (sx <= 0 || sy <= 0)
            break;
        p.setPen(white);
        scaleBars(p, sx, sy, o, true);
        p.setPen(coloured);
        const bool asRect = axisLinesAsRects(p);
        drawAxisLine(p, asRect, 0, cy, w, cy);
        drawAxisLine(p, asRect, cx, 0, cx, h);
        for (int k = 0, x = cx; x > sx; ++k, x -= sx)
            drawAxisLine(p, asRect, x, cy - scaleTickHalfLength(k), x, cy + scaleTickHalfLength(k));
        for (int k = 0, x = cx; x < w - sx; ++k, x += sx)
            drawAxisLine(p, asRect, x, cy - scaleTickHalfLength(k), x, cy + scaleTickHalfLength(k));
        for (int k = 0, y = cy; y > sy; ++k, y -= sy)
            drawAxisLine(p, asRect, cx - scaleTickHalfLength(k), y, cx + scaleTickHalfLength(k), y);
        for (int k = 0, y = cy; y < h - sy; ++k, y += sy)
            drawAxisLine(p, asRect, cx - scaleTickHalfLength(k), y, cx + scaleTickHalfLength(k), y);
        break;
    }
    default: break;
    }
}

}  // namespace measure
