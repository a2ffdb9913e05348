#include "CThumbnailsFormViewEnlarged.h"

#include "base/view_host.h"

#include "platform/posted_message.h"

#include <QMouseEvent>
#include <QPainter>

namespace files {

CThumbnailsFormViewEnlarged::CThumbnailsFormViewEnlarged(const QByteArray* sharedBuffer, QWidget* parent)
    : QWidget(parent), m_buffer(sharedBuffer)
{
    setObjectName(QStringLiteral("CThumbnailsFormViewEnlarged"));
    setAttribute(Qt::WA_OpaquePaintEvent);
}

int CThumbnailsFormViewEnlarged::sideOfLevel(int level)
{
    return base::magnifierSide(level);
}

bool CThumbnailsFormViewEnlarged::handleMessage(platform::PostedMessage& message)
{
    if (message.number() != platform::msg::MagnifierUpdated)
        return false;
    const QImage* square = message.payload<QImage>();
    QImage picture = square ? *square : fromSharedBuffer();
    if (!picture.isNull()) {
        m_picture = std::move(picture);
        update();
    }
    return true;
}

void CThumbnailsFormViewEnlarged::customEvent(QEvent* event)
{
    if (auto* message = dynamic_cast<platform::PostedMessage*>(event); message && handleMessage(*message))
        return;
    QWidget::customEvent(event);
}

// The square of the current level as the picture window wrote it.
QImage CThumbnailsFormViewEnlarged::fromSharedBuffer() const
{
    const int side = sideOfLevel(m_level);
    const int stride = (side * 3 + 3) / 4 * 4;
    if (!m_buffer || m_buffer->size() < qsizetype(stride) * side)
        return {};
    const auto* rows = reinterpret_cast<const uchar*>(m_buffer->constData());
    // QImage's BGR888 rows read the buffer in place; the copy is the picture's own.
    return QImage(rows, side, side, stride, QImage::Format_BGR888).mirrored(false, true);
}

// The largest square the widget holds, in its middle.
QRect CThumbnailsFormViewEnlarged::squareRect() const
{
    const int side = std::min(width(), height());
    return QRect((width() - side) / 2, (height() - side) / 2, side, side);
}

void CThumbnailsFormViewEnlarged::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), palette().window());
    if (m_picture.isNull())
        return;
    // Nearest-pixel stretching: the picture's pixels show as blocks, and a
    // round cell stays round.
    const QRect square = squareRect();
    p.drawImage(square, m_picture);
    p.setPen(QPen(QColor(255, 0, 0), 1));
    const QPoint centre(square.x() + square.width() / 2, square.y() + square.height() / 2);
    p.drawLine(square.left(), centre.y(), square.right(), centre.y());
    p.drawLine(centre.x(), square.top(), centre.x(), square.bottom());
}

void CThumbnailsFormViewEnlarged::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        setLevel(m_level % 3 + 1);
    else if (event->button() == Qt::RightButton)
        setLevel(1);
}

void CThumbnailsFormViewEnlarged::setLevel(int level)
{
    if (level == m_level)
        return;
    m_level = level;
    update();
    Q_EMIT levelChanged(level);
}

}  // namespace files
