// How a live window lays out and paints its picture: scroll ranges that
// follow the zoom, the picture area clicks are taken in, and the grey around.
#include "CDeviceView.h"

#include "base/text_lookup.h"

#include "SeenOnScreen.h"

#include "measure/ui/ShapeHost.h"

#include "base/view_host.h"

#include "capture/device/live_stream.h"

#include "measure/core/measure_state.h"

#include <QPainter>
#include <QPen>
#include <QScrollBar>
#include <QTimer>
#include <QWheelEvent>

namespace capture {

namespace {

const QColor kBackground(160, 160, 160);

}  // namespace

// Scroll ranges follow the zoomed frame; after a zoom change the bars keep
// their place in proportion.
void CDeviceView::layOut()
{
    const picture::PictureZoom& z = m_doc->zoom();
    setImage(m_frameSize, z.x, z.y, ScrollOnZoom::KeepProportion);
}

void CDeviceView::imageZoomChanged()
{
    if (m_device)
        m_device->CreateSurface();
}

// The renderer composes only the visible part: it hears of every move.
void CDeviceView::imageScrolled()
{
    if (m_device)
        pushSettings();
}

void CDeviceView::showEvent(QShowEvent* event)
{
    ZoomedImageView::showEvent(event);
    m_placed = true;
    m_shownTimer->start();
    updateShown();
}

void CDeviceView::hideEvent(QHideEvent* event)
{
    ZoomedImageView::hideEvent(event);
    updateShown();
}

void CDeviceView::updateShown()
{
    watchReconnect();
    const bool shown = !m_placed || seenOnScreen(*viewport());
    if (shown == m_device->isShown())
        return;
    m_device->setShown(shown);
    if (shown)
        viewport()->update();
}

// A network camera that stopped delivering is reached again by its source;
// the window says so, and a clip being written is finished and kept, since
// its pictures stopped.
void CDeviceView::watchReconnect()
{
    const bool reconnecting = m_connected && m_device->isReconnecting();
    if (reconnecting == m_reconnecting)
        return;
    m_reconnecting = reconnecting;
    if (reconnecting)
        finishRecordingNow();
    viewport()->update();
}

void CDeviceView::wheelEvent(QWheelEvent* event)
{
    event->accept();  // the live picture does not scroll by the wheel
}

void CDeviceView::paintEvent(QPaintEvent*)
{
    QPainter p(viewport());
    const QImage* frame = m_connected ? m_device->mailbox().latest() : nullptr;
    QRect covered;
    if (frame) {
        covered = QRect(QPoint(0, 0), frame->size()).intersected(viewport()->rect());
        p.drawImage(QPoint(0, 0), *frame);
    }
    const QRegion grey = QRegion(viewport()->rect()).subtracted(covered);
    for (const QRect& r : grey)
        p.fillRect(r, kBackground);
    if (!m_connected) {
        const QString text = QStringLiteral("No Connect Microscope");
        const QFontMetrics metrics(p.font());
        const int w = metrics.horizontalAdvance(text);
        const int x = w > viewport()->width() ? 0 : (viewport()->width() - w) / 2;
        p.setPen(QColor(255, 0, 0));
        p.drawText(QRect(x, 0, std::max(w, viewport()->width()), viewport()->height()), Qt::AlignLeft | Qt::AlignVCenter, text);
        return;
    }
    if (m_reconnecting) {
        p.setPen(QColor(255, 0, 0));
        p.drawText(viewport()->rect().adjusted(8, 8, -8, -8), Qt::AlignLeft | Qt::AlignTop,
                   base::uiText("Reconnecting", "The microscope stopped sending pictures: connecting again..."));
    }
    // The measurement being made follows the mouse over every frame.
    m_tools->paintTemporary(p);
    if (m_referenceLine) {
        const measure::ImageMapping map = mapping();
        const measure::MeasureState& m = m_host.measure();
        p.setPen(QPen(m.colour, std::max(1, m.lineWidth), Qt::SolidLine, Qt::RoundCap));
        p.drawLine(map.mapToView(measure::Point2d{m_referenceLine->x1(), m_referenceLine->y1()}),
                   map.mapToView(measure::Point2d{m_referenceLine->x2(), m_referenceLine->y2()}));
        // Each tick measured gets a short mark along it, in a colour the ink and the line lack.
        p.setPen(QPen(QColor(0, 200, 255), 1, Qt::SolidLine, Qt::FlatCap));
        for (const QPointF& tick : m_referenceTicks.ticks) {
            const QPointF at = map.mapToView(measure::Point2d{tick.x(), tick.y()});
            p.drawLine(at - m_referenceTicks.tickDirection * 4, at + m_referenceTicks.tickDirection * 4);
        }
    }
}

}  // namespace capture
