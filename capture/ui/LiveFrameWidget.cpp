#include "LiveFrameWidget.h"

#include "capture/device/capture_device.h"

#include <QPainter>

namespace capture {

LiveFrameWidget::LiveFrameWidget(CCaptureDevice& device, QWidget* parent) : QWidget(parent), m_device(device)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    connect(&device, &CCaptureDevice::frameReady, this, qOverload<>(&QWidget::update));
}

void LiveFrameWidget::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QImage* frame = m_device.mailbox().latest();
    if (!frame) {
        p.fillRect(rect(), Qt::black);
        return;
    }
    p.drawImage(QPoint(0, 0), *frame);
    if (frame->width() < width())
        p.fillRect(QRect(frame->width(), 0, width() - frame->width(), height()), Qt::black);
    if (frame->height() < height())
        p.fillRect(QRect(0, frame->height(), width(), height() - frame->height()), Qt::black);
    ++m_shown;
}

}  // namespace capture
