#include "ShapeCanvas.h"

#include "measure/core/measure_state.h"

#include <QMouseEvent>
#include <QPainter>

namespace measure {

ShapeCanvas::ShapeCanvas(const QImage& picture, MeasureState& settings, QWidget* parent)
    : QWidget(parent), m_picture(picture), m_settings(settings), m_host(this, *this, settings, &m_shapes)
{
    setObjectName(QStringLiteral("ShapeCanvas"));
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(sizeHint());
}

void ShapeCanvas::setZoom(double zoomX, double zoomY)
{
    m_zoomX = zoomX;
    m_zoomY = zoomY;
    resize(sizeHint());
    update();
}

QSize ShapeCanvas::sizeHint() const
{
    return {static_cast<int>(m_picture.width() * m_zoomX + 0.5), static_cast<int>(m_picture.height() * m_zoomY + 0.5)};
}

QRect ShapeCanvas::imageArea() const
{
    return QRect(QPoint(0, 0), sizeHint()).intersected(rect());
}

void ShapeCanvas::paintPicture(QPainter& p)
{
    p.drawImage(QRect(QPoint(0, 0), sizeHint()), m_picture);
    m_shapes.drawAll(p, DrawContext{m_settings, m_settings.lineWidth, m_zoomX, m_zoomY});
}

QImage ShapeCanvas::render()
{
    QImage out(sizeHint(), QImage::Format_RGB32);
    QPainter p(&out);
    paintPicture(p);
    return out;
}

void ShapeCanvas::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), palette().color(QPalette::Dark));
    paintPicture(p);
    m_host.paintTemporary(p);
}

void ShapeCanvas::mousePressEvent(QMouseEvent* event)
{
    if (!m_host.mousePress(event))
        QWidget::mousePressEvent(event);
}

void ShapeCanvas::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_host.mouseMove(event))
        QWidget::mouseMoveEvent(event);
}

void ShapeCanvas::mouseReleaseEvent(QMouseEvent* event)
{
    if (!m_host.mouseRelease(event))
        QWidget::mouseReleaseEvent(event);
}

}  // namespace measure
