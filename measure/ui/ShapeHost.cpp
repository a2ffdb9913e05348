#include "ShapeHost.h"

#include "measure/core/measure_state.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QWidget>

namespace measure {

namespace {

constexpr QSize kTextBox(180, 120);

}  // namespace

ShapeHost::ShapeHost(QWidget* view, const ShownImage& image, MeasureState& settings, ShapeList& shapes)
    : QObject(view), m_view(view), m_image(image), m_settings(settings), m_shapes(shapes)
{
}

ShapeHost::~ShapeHost()
{
    delete m_textEdit.data();
}

QPoint ShapeHost::toPicture(QPoint windowPos) const
{
    const QRect area = m_image.imageArea();
    const QPoint inside = area.isEmpty()
        ? windowPos
        : QPoint(qBound(area.left(), windowPos.x(), area.right()), qBound(area.top(), windowPos.y(), area.bottom()));
    return m_image.mapping().mapToImage(inside);
}

void ShapeHost::setTool(int toolCode)
{
    abandon();
    m_placement.setTool(toolCode);
}

bool ShapeHost::mousePress(QMouseEvent* event)
{
    if (tool() == ToolNone)
        return false;
    const QPoint p = toPicture(event->position().toPoint());
    if (event->button() == Qt::RightButton) {
        if (m_placement.rightDown(p)) {
            rebuildTemporary();
            return true;
        }
        return false;
    }
    if (event->button() != Qt::LeftButton)
        return false;
    if (tool() == ToolText) {
        if (m_placement.clicks() == 0 && m_placement.leftDown(p))
            openTextBox(event->position().toPoint());
        else if (m_placement.clicks() == 1)
            closeTextBox();
        return true;
    }
    if (m_placement.leftDown(p)) {
        if (m_placement.clicks() == 1)
            m_view->grabMouse();
        rebuildTemporary();
    }
    return true;
}

bool ShapeHost::mouseMove(QMouseEvent* event)
{
    if (!m_placement.placing() || tool() == ToolText)
        return false;
    m_placement.mouseMove(toPicture(event->position().toPoint()));
    rebuildTemporary();
    return true;
}

bool ShapeHost::mouseRelease(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !m_placement.placing() || tool() == ToolText)
        return false;
    if (m_placement.leftUp())
        finishShape();
    else if (!m_placement.placing())
        release();  // coinciding points: dropped
    m_view->update();
    return true;
}

void ShapeHost::rebuildTemporary()
{
    const ImageMapping map = m_image.mapping();
    m_temporary = m_placement.build(m_settings.colour, m_settings.colour, QString(), m_image.imageSize(), map.zoomX, map.zoomY);
    m_view->update();
}

void ShapeHost::finishShape()
{
    const ImageMapping map = m_image.mapping();
    std::unique_ptr<CShape> shape = m_placement.build(m_settings.colour, m_settings.colour, QString(), m_image.imageSize(),
                                                      map.zoomX, map.zoomY);
    release();
    if (!shape)
        return;
    shape->lineWidth = m_settings.lineWidth;
    shape->inProgress = 0;
    m_shapes.append(std::move(shape));
    Q_EMIT shapesChanged();
}

void ShapeHost::paintTemporary(QPainter& p)
{
    if (!m_temporary)
        return;
    p.save();
    // Inverting the pixels under the figure keeps it visible on any picture.
    p.setCompositionMode(QPainter::RasterOp_NotSourceXorDestination);
    const ImageMapping map = m_image.mapping();
    p.translate(-map.scroll);
    m_temporary->Draw(p, DrawContext{m_settings, m_settings.lineWidth, map.zoomX, map.zoomY});
    p.restore();
}

void ShapeHost::openTextBox(QPoint windowPos)
{
    delete m_textEdit.data();
    m_textEdit = new QPlainTextEdit(m_view);
    m_textEdit->setObjectName(QStringLiteral("36865"));
    m_textEdit->setGeometry(QRect(windowPos, kTextBox));
    m_textEdit->setFrameShape(QFrame::Box);
    m_textEdit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_textEdit->show();
    m_textEdit->setFocus(Qt::MouseFocusReason);
}

void ShapeHost::closeTextBox()
{
    QString typed = m_textEdit ? m_textEdit->toPlainText() : QString();
    typed.replace(QLatin1String("\r\n"), QLatin1String("_")).replace(QLatin1Char('\n'), QLatin1Char('_'));
    const QPoint at = m_placement.points()[0];
    delete m_textEdit.data();
    m_placement.reset();
    if (typed.isEmpty())
        return;
    std::vector<QPoint> pts{at};
    const ImageMapping map = m_image.mapping();
    auto shape = makeShape(ToolText, m_settings.colour, m_settings.colour, typed, m_image.imageSize(), pts, map.zoomX, map.zoomY);
    shape->lineWidth = m_settings.lineWidth;
    shape->inProgress = 0;
    m_shapes.append(std::move(shape));
    m_view->update();
    Q_EMIT shapesChanged();
}

void ShapeHost::release()
{
    m_placement.reset();
    m_temporary.reset();
    if (QWidget::mouseGrabber() == m_view)
        m_view->releaseMouse();
}

void ShapeHost::abandon()
{
    delete m_textEdit.data();
    release();
    m_view->update();
}

void ShapeHost::undo()
{
    setTool(ToolNone);
    if (m_shapes.undo())
        Q_EMIT shapesChanged();
    m_view->update();
}

void ShapeHost::deleteAll()
{
    setTool(ToolNone);
    const bool had = !m_shapes.empty();
    m_shapes.clear();
    if (had)
        Q_EMIT shapesChanged();
    m_view->update();
}

void ShapeHost::toggleShowFlag(int selector)
{
    if (selector == 1 || m_shapes.toggleShowFlag(selector))
        m_view->update();
}

}  // namespace measure
