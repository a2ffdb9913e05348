#include "live_renderer.h"

#include "frame_ops.h"
#include "pixel_convert.h"
#include "resolution_table.h"
#include "yuyv_display.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>

namespace capture {

LiveRenderer::LiveRenderer() = default;

LiveRenderer::~LiveRenderer() = default;

void LiveRenderer::releasePainters()
{
    for (auto& painter : m_painters)
        painter.reset();
}

int LiveRenderer::decodeScale(double zoomX, double zoomY)
{
    const double zoom = std::max(zoomX, zoomY);
    int denom = 1;
    while (denom < 8 && zoom * (denom * 2) <= 1.0)
        denom *= 2;
    return denom;
}

const QImage* LiveRenderer::render(const uint8_t* bytes, size_t size, int32_t format, int width, int height,
                                   const LiveViewSettings& s)
{
    QImage& out = m_mailbox.back();
    const QSize shown(static_cast<int>(width * s.zoomX + 0.5), static_cast<int>(height * s.zoomY + 0.5));
    if (out.size() != shown) {
        m_painters[static_cast<size_t>(m_mailbox.backIndex())].reset();  // no painter may outlive its image
        out = QImage(shown, QImage::Format_RGB32);
    }
    if (shown.isEmpty() || !compose(bytes, size, format, width, height, s, out))
        return nullptr;  // a damaged frame is dropped; the next one comes
    paintDecorations(out, width, height, s);
    return &out;
}

bool LiveRenderer::compose(const uint8_t* bytes, size_t size, int32_t format, int width, int height, const LiveViewSettings& s,
                           QImage& out)
{
    m_fullRows = false;
    auto* px = reinterpret_cast<uint32_t*>(out.bits());
    const int stride = int(out.bytesPerLine() / 4);
    const bool upsideDown = s.networkFrame != s.flip;
    const int denom = format == FormatMJPG ? decodeScale(s.zoomX, s.zoomY) : 1;
    const int w = reducedSize(width, denom), h = reducedSize(height, denom);
    // Shown pixel for decoded pixel: decoded straight into the display
    // picture, then turned in place.
    if (s.zoomX * denom == 1.0 && s.zoomY * denom == 1.0 && s.scrollX == 0 && s.scrollY == 0 && out.width() == w
        && out.height() == h) {
        const bool ok = format == FormatMJPG ? mjpegToDisplayScaled(bytes, size, width, height, denom, px, stride)
            : (width & 1)                    ? yuyvToDisplay(bytes, size, px, width, height, stride)
                                             : yuyvToDisplayFast(bytes, size, px, width, height, stride);
        if (ok)
            prepareDisplay(px, w, h, stride, upsideDown, s.mirror, s.colourMode);
        return ok;
    }
    // Else through 24-bit rows, zoomed and scrolled on the way out.
    if (m_rows.size() < size_t(rowStride(w)) * h)
        m_rows.resize(size_t(rowStride(w)) * h);  // only when the size grows
    const FrameView decoded{m_rows.data(), w, h, rowStride(w)};
    const bool ok = format == FormatMJPG ? mjpegToBgrScaled(bytes, size, width, height, denom, decoded)
                                         : yuyvToBgr(bytes, size, decoded);
    if (!ok)
        return false;
    m_fullRows = denom == 1;
    composeDisplay(decoded, {px, out.width(), out.height(), stride}, s.zoomX * denom, s.zoomY * denom, s.scrollX, s.scrollY,
                   s.networkFrame, s.mirror, s.flip, s.colourMode, m_columns);
    return true;
}

void LiveRenderer::paintDecorations(QImage& out, int width, int height, const LiveViewSettings& s)
{
    if (s.overlay.mode == measure::OverlayNone && s.statusText.isEmpty() && (!s.shapes || s.shapes->empty()))
        return;
    auto& painter = m_painters[static_cast<size_t>(m_mailbox.backIndex())];
    if (!painter)
        painter = std::make_unique<QPainter>(&out);
    QPainter& p = *painter;
    measure::OverlayParams o = s.overlay;
    o.frameWidth = width;
    o.frameHeight = height;
    o.zoomX = s.zoomX;
    o.zoomY = s.zoomY;
    o.scrollX = s.scrollX;
    o.scrollY = s.scrollY;
    if (o.label != m_labelImageText) {
        m_labelImage = measure::renderOverlayLabel(o.label, p.font());
        m_labelImageText = o.label;
    }
    o.labelImage = m_labelImage.isNull() ? nullptr : &m_labelImage;
    if (m_colouredPen.color() != o.colour || m_colouredPen.width() != qMax(1, o.lineWidth)) {
        m_colouredPen = QPen(o.colour, qMax(1, o.lineWidth));
        m_whitePen = QPen(Qt::white, qMax(1, o.lineWidth));
    }
    o.colouredPen = &m_colouredPen;
    o.whitePen = &m_whitePen;
    // The measurements, then the overlay over them, as a snapshot burns them in.
    if (s.shapes && !s.shapes->empty())
        measure::drawVideoShapes(p, *s.shapes, s.zoomX, s.zoomY, QPoint(s.scrollX, s.scrollY), s.measure, QSize(width, height));
    measure::paintOverlay(p, o);
    if (!s.statusText.isEmpty()) {
        if (s.statusText != m_statusImageText) {
            // Pure green bold text on a dark band, readable over any picture
            // and grid, made when the text changes.
            QFont font = p.font();
            font.setPixelSize(18);
            font.setBold(true);
            const QFontMetrics metrics(font);
            m_statusImage = QImage(metrics.horizontalAdvance(s.statusText) + 12, metrics.height() + 6,
                                   QImage::Format_ARGB32_Premultiplied);
            m_statusImage.fill(QColor(0, 0, 0, 150));
            QPainter text(&m_statusImage);
            text.setFont(font);
            text.setPen(QColor(0, 255, 0));
            text.drawText(QPoint(6, 3 + metrics.ascent()), s.statusText);
            m_statusImageText = s.statusText;
        }
        // The bottom-left corner: the scale bars and their labels take the
        // top-left one, the crosshairs the middle.
        const int bottom = p.device()->height();
        p.drawImage(QPoint(6, std::max(0, bottom - m_statusImage.height() - 6)), m_statusImage);
    }
}

}  // namespace capture
