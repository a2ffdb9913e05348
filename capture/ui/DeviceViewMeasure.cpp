// Clicks on the live picture: moving the crosshair, and measuring a line,
// which is also how a calibration's reference is drawn.
#include "CDeviceView.h"

#include "LiveViewHost.h"

#include "capture/core/live_tools.h"
#include "capture/device/capture_device.h"

#include "measure/ui/CCalibrationDlg.h"

#include "platform/posted_message.h"

#include <QMouseEvent>

#include <cmath>

namespace capture {

void CDeviceView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !m_connected)
        return;
    const QPointF at = event->position();
    if (!pictureArea().contains(at.toPoint()))
        return;
    const QPointF frame = toFrame(at);
    if (m_doc->moveCrosshair(static_cast<int>(frame.x() + 0.5), static_cast<int>(frame.y() + 0.5))) {
        pushSettings();
        return;
    }
    if (m_doc->toolCode() == ToolCodeLine)
        lineClick(at);
}

void CDeviceView::mouseMoveEvent(QMouseEvent* event)
{
    m_mouse = event->position();
    if (!m_linePoints.empty())
        viewport()->update();
}

double CDeviceView::lineLength() const
{
    const LiveZoom& z = m_doc->zoom();
    const double dx = (m_linePoints[1].x() - m_linePoints[0].x()) / z.x;
    const double dy = (m_linePoints[1].y() - m_linePoints[0].y()) / z.y;
    return std::sqrt(dx * dx + dy * dy);
}

void CDeviceView::lineClick(QPointF client)
{
    if (m_linePoints.size() == 1 && client == m_linePoints[0])
        return;  // a line needs two different ends
    m_linePoints.push_back(client);
    if (m_linePoints.size() == 2 && m_calibrating && m_calibrationDlg) {
        // The reference line is done at its second click.
        m_host.measure().knownLinePixels = lineLength();
        platform::postMessage(m_calibrationDlg, platform::msg::KnownLineDrawn);
        m_linePoints.clear();
        m_calibrating = false;
        m_doc->setToolCode(ToolCodeNone);
    } else if (m_linePoints.size() == 3) {
        commitLine();
    }
    viewport()->update();
}

void CDeviceView::commitLine()
{
    const measure::MeasureState& m = m_host.measure();
    auto record = std::make_unique<measure::CVideoShap>();
    record->kind = 1;
    record->fontHeight = m.fontSize;
    record->lineColour = m.colour;
    record->lineWidth = m.lineWidth;
    record->value1 = lineLength();
    for (const QPointF& p : m_linePoints) {
        const QPointF f = toFrame(p);
        record->points.push_back({f.x(), f.y()});
    }
    m_linePoints.clear();
    auto list = std::make_shared<measure::VideoShapeList>();
    for (const auto& r : *m_shapes)
        list->push_back(std::make_unique<measure::CVideoShap>(*r));
    list->push_back(std::move(record));
    m_shapes = list;
    pushSettings();
}

}  // namespace capture
