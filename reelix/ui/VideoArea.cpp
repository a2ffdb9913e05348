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
    m_message.clear();
    update();
}

void VideoArea::showMessage(const QString& message)
{
    m_frame = QImage();
    m_message = message;
    update();
}

void VideoArea::clear()
{
    m_frame = QImage();
    m_message.clear();
    update();
}

void VideoArea::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    if (m_frame.isNull()) {
        if (m_message.isEmpty())
            return;
        QFont font = painter.font();
        font.setPointSizeF(font.pointSizeF() * 1.25);
        painter.setFont(font);
        painter.setPen(QColor(0xec, 0xef, 0xf1));
        const int margin = width() / 10;
        painter.drawText(rect().adjusted(margin, 0, -margin, 0), Qt::AlignCenter | Qt::TextWordWrap, m_message);
        return;
    }
    QRect target(QPoint(), m_frame.size().scaled(size(), Qt::KeepAspectRatio));
    target.moveCenter(rect().center());
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target, m_frame);
}

}  // namespace reelix
