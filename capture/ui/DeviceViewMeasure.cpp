// Clicks on the live picture: moving the crosshair, and the live measuring
// tools, whose Line also draws a calibration's reference.
#include "CDeviceView.h"

#include "base/view_host.h"

#include "capture/core/live_tools.h"
#include "capture/device/live_stream.h"
#include "measure/core/shapes.h"

#include "measure/ui/CCalibrationDlg.h"
#include "measure/ui/ShapeHost.h"

#include "platform/posted_message.h"

#include <QMouseEvent>
#include <QScrollBar>

#include <algorithm>

namespace capture {

void CDeviceView::measureSettingsChanged()
{
    // Without a calibration no measuring tool but Add Text stays chosen.
    const int tool = m_doc->toolCode();
    if (!m_host.measure().isCalibrated() && measure::kindOfTool(tool) && tool != measure::ToolText) {
        m_tools->abandon();
        m_doc->setToolCode(ToolCodeNone);
        followTool();
    }
    pushSettings();  // the renderer draws with its own copy of the settings
}

void CDeviceView::followTool()
{
    const int tool = measure::kindOfTool(m_doc->toolCode()) ? m_doc->toolCode() : 0;
    if (m_tools->tool() != tool)
        m_tools->setTool(tool);  // a measurement half made with another tool is dropped
}

void CDeviceView::mousePressEvent(QMouseEvent* event)
{
    if (!m_connected)
        return;
    const QPoint at = event->position().toPoint();
    if (!imageArea().contains(at))
        return;
    if (event->button() == Qt::LeftButton) {
        const QPoint frame = mapping().mapToImage(at);
        if (m_doc->crosshairFollowsClicks()) {
            m_overlays.moveCrosshair(frame.x(), frame.y());
            pushSettings();
            return;
        }
    }
    followTool();
    m_tools->mousePress(event);
}

void CDeviceView::mouseMoveEvent(QMouseEvent* event)
{
    m_tools->mouseMove(event);
    feedMagnifier(event->position().toPoint());
}

void CDeviceView::takeReferenceLine()
{
    if (!m_calibrating || !m_calibrationDlg || m_tools->tool() != measure::ToolLine || m_tools->placement().clicks() != 2)
        return;
    // The reference line is done at its second click.
    m_host.measure().knownLinePixels = m_tools->lineLength();
    m_host.measure().knownLineSize = m_frameSize;
    m_referenceLine = m_tools->line();  // shown until the dialog closes
    m_referenceTicks = {};
    m_calibrationDlg->setReferenceLine(*m_referenceLine);
    m_tools->abandon();
    platform::postMessage(m_calibrationDlg, platform::msg::KnownLineDrawn);
    m_calibrating = false;
    m_doc->setToolCode(ToolCodeNone);
    followTool();
}

// The renderer keeps drawing the list it was given: every change makes a new
// one from the first `count` records (less the one at `skip`), plus `added`.
void CDeviceView::replaceMeasurements(size_t count, qsizetype skip, std::unique_ptr<measure::CVideoShap> added)
{
    auto list = std::make_shared<measure::VideoShapeList>();
    for (size_t i = 0; i < count && i < m_shapes->size(); ++i) {
        if (qsizetype(i) != skip)
            list->push_back(std::make_unique<measure::CVideoShap>(*(*m_shapes)[i]));
    }
    if (added)
        list->push_back(std::move(added));
    m_shapes = list;
    pushSettings();
}

void CDeviceView::writeWorkbook(const StillRequest& request)
{
    if (!m_shapes->empty() && m_connected && !m_device->isRecording())
        m_device->requestStill(request);
}

void CDeviceView::deleteMeasurement(size_t index)
{
    if (index < m_shapes->size())
        replaceMeasurements(m_shapes->size(), qsizetype(index));
}

void CDeviceView::editMeasurements(const std::function<void(size_t, measure::CVideoShap&)>& edit, bool clear)
{
    if (clear) {
        replaceMeasurements(0);
        return;
    }
    auto list = std::make_shared<measure::VideoShapeList>();
    for (size_t i = 0; i < m_shapes->size(); ++i) {
        list->push_back(std::make_unique<measure::CVideoShap>(*(*m_shapes)[i]));
        if (edit)
            edit(i, *list->back());
    }
    m_shapes = list;
    pushSettings();
}

}  // namespace capture
