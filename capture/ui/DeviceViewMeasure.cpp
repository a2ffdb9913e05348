// Clicks on the live picture: moving the crosshair, and the live measuring
// tools, whose Line also draws a calibration's reference.
#include "CDeviceView.h"

#include "base/view_host.h"

#include "capture/core/live_tools.h"
#include "capture/device/capture_device.h"
#include "measure/core/shapes.h"

#include "measure/ui/CCalibrationDlg.h"

#include "platform/posted_message.h"

#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QScrollBar>

#include <algorithm>

namespace capture {

void CDeviceView::measureSettingsChanged()
{
    // Without a calibration no measuring tool but Add Text stays chosen.
    const int tool = m_doc->toolCode();
    if (!m_host.measure().isCalibrated() && measure::kindOfTool(tool) && tool != measure::ToolText) {
        m_live.cancel();
        delete m_textBox.data();
        m_doc->setToolCode(ToolCodeNone);
    }
    pushSettings();  // the renderer draws with its own copy of the settings
}

void CDeviceView::mousePressEvent(QMouseEvent* event)
{
    if (!m_connected)
        return;
    const QPoint at = event->position().toPoint();
    if (!imageArea().contains(at))
        return;
    if (event->button() == Qt::RightButton) {
        if (m_live.rightClick(mapping().mapToImage(at)))
            viewport()->update();
        return;
    }
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint frame = mapping().mapToImage(at);
    if (m_doc->moveCrosshair(frame.x(), frame.y())) {
        pushSettings();
        return;
    }
    liveClick(at);
}

void CDeviceView::mouseMoveEvent(QMouseEvent* event)
{
    // The point being placed stays on the picture, wherever the mouse goes.
    const QRect area = imageArea();
    const QPoint at = event->position().toPoint();
    const QPoint inside = area.isEmpty()
        ? at
        : QPoint(std::clamp(at.x(), area.left(), area.right()), std::clamp(at.y(), area.top(), area.bottom()));
    m_live.mouseMove(mapping().mapToImage(inside));
    feedMagnifier(at);
    if (m_live.inProgress())
        viewport()->update();
}

void CDeviceView::liveClick(QPoint client)
{
    if (m_live.tool() != m_doc->toolCode())
        m_live.setTool(measure::kindOfTool(m_doc->toolCode()) ? m_doc->toolCode() : 0);
    const measure::LiveMeasurement::Click click = m_live.leftClick(mapping().mapToImage(client));
    if (click == measure::LiveMeasurement::Click::Ignored)
        return;
    if (m_calibrating && m_calibrationDlg && m_live.tool() == measure::ToolLine && m_live.clicks() == 2) {
        // The reference line is done at its second click.
        m_host.measure().knownLinePixels = m_live.lineLength();
        m_referenceLine = m_live.line();  // shown until the dialog closes
        m_live.cancel();
        platform::postMessage(m_calibrationDlg, platform::msg::KnownLineDrawn);
        m_calibrating = false;
        m_doc->setToolCode(ToolCodeNone);
        viewport()->update();
        return;
    }
    if (click == measure::LiveMeasurement::Click::OpenText) {
        delete m_textBox.data();
        auto* box = new QPlainTextEdit(viewport());
        box->setObjectName(QStringLiteral("36865"));
        box->setGeometry(client.x(), client.y(), 180, 120);
        box->show();
        box->setFocus();
        m_textBox = box;
        return;
    }
    if (click == measure::LiveMeasurement::Click::Finished) {
        const QString text = m_textBox ? m_textBox->toPlainText() : QString();
        delete m_textBox.data();
        if (auto record = m_live.takeRecord(m_host.measure(), text))
            replaceMeasurements(m_shapes->size(), -1, std::move(record));
    }
    viewport()->update();
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
