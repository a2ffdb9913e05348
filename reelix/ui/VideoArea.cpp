#include "reelix/ui/VideoArea.h"

#include <QPainter>

namespace reelix {

VideoArea::VideoArea(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void VideoArea::showFrame(const QImage& frame)
{
    m_frame = frame;
    update();
}

void VideoArea::clear()
{
    m_frame = QImage();
    update();
}

void VideoArea::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    if (m_frame.isNull())
        return;
    QRect target(QPoint(), m_frame.size().scaled(size(), Qt::KeepAspectRatio));
    target.moveCenter(rect().center());
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target, m_frame);
}

}  // namespace reelix
