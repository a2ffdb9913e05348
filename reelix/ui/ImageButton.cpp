#include "reelix/ui/ImageButton.h"

#include "reelix/core/window_layout.h"

#include <QIcon>
#include <QPainter>

namespace reelix {

namespace {

QPixmap pressedLook(const QPixmap& up)
{
    QPixmap pressed(up.size());
    pressed.setDevicePixelRatio(up.devicePixelRatio());
    pressed.fill(Qt::transparent);
    QPainter painter(&pressed);
    painter.drawPixmap(QPointF(1, 1), up);
    painter.setCompositionMode(QPainter::CompositionMode_SourceAtop);
    painter.fillRect(pressed.rect(), QColor(0, 0, 0, 70));
    return pressed;
}

}  // namespace

ImageButton::ImageButton(const QString& svgPath, const QString& toolTip, QWidget* parent) : QAbstractButton(parent)
{
    setFocusPolicy(Qt::NoFocus);
    setToolTip(toolTip);
    setCursor(Qt::PointingHandCursor);
    m_up = QIcon(svgPath).pixmap(kButtonSize, devicePixelRatio());
    m_pressed = pressedLook(m_up);
    setFixedSize(kButtonSize);
}

void ImageButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawPixmap(QPoint(), isDown() ? m_pressed : m_up);
}

}  // namespace reelix
