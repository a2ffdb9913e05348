#include "ShapeHost.h"

#include "measure/core/measure_state.h"
#include "measure/core/placing_hints.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QWidget>

namespace measure {

namespace {

constexpr QSize kTextBox(180, 120);

}  // namespace

ShapeHost::ShapeHost(QWidget* view, const ShownImage& image, MeasureState& settings, ShapeList* shapes, Clicks clicks)
    : QObject(view), m_view(view), m_image(image), m_settings(settings), m_shapes(shapes), m_mode(clicks)
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
    const bool dropped = placement().placing();
    abandon();
    m_clicks.setTool(toolCode);
    tellNextClick(dropped ? droppedMeasurementText() : QString());
}

void ShapeHost::tellNextClick(const QString& before)
{
    const QString next = nextClickHint(placement());
    const QString text = before.isEmpty() || next.isEmpty() ? before + next : before + QLatin1Char(' ') + next;
    if (text == m_told)
        return;
    m_told = text;
    Q_EMIT hint(text);
}

bool ShapeHost::mousePress(QMouseEvent* event)
{
    if (tool() == ToolNone)
        return false;
    const bool taken = m_mode == Clicks::Live ? livePress(event) : picturePress(event);
    if (taken)
        tellNextClick();
    return taken;
}

bool ShapeHost::picturePress(QMouseEvent* event)
{
    ShapePlacement& placement = m_clicks.placement();
    const QPoint p = toPicture(event->position().toPoint());
    if (event->button() == Qt::RightButton) {
        if (placement.rightDown(p)) {
            rebuildTemporary();
            return true;
        }
        return false;
    }
    if (event->button() != Qt::LeftButton)
        return false;
    if (tool() == ToolText) {
        if (placement.clicks() == 0 && placement.leftDown(p))
            openTextBox(event->position().toPoint());
        else if (placement.clicks() == 1)
            closeTextBox();
        return true;
    }
    if (placement.leftDown(p)) {
        if (placement.clicks() == 1)
            m_view->grabMouse();
        rebuildTemporary();
    }
    return true;
}

// A live picture takes each point at once, and only on the picture.
bool ShapeHost::livePress(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    if (!m_image.imageArea().contains(at))
        return false;
    const QPoint p = m_image.mapping().mapToImage(at);
    if (event->button() == Qt::RightButton) {
        if (m_clicks.rightClick(p))
            m_view->update();
        return true;
    }
    if (event->button() != Qt::LeftButton)
        return false;
    const LiveMeasurement::Click click = m_clicks.leftClick(p);
    if (click == LiveMeasurement::Click::Ignored)
        return true;
    Q_EMIT clickTaken();
    if (click == LiveMeasurement::Click::OpenText) {
        openTextBox(at);
    } else if (click == LiveMeasurement::Click::Finished) {
        const QString text = takeTypedText();
        if (tool() != ToolText || !text.isEmpty())
            hand(m_clicks.takeRecord(m_settings, text));
        m_clicks.cancel();
    }
    m_view->update();
    return true;
}

bool ShapeHost::mouseMove(QMouseEvent* event)
{
    if (!placement().placing() || tool() == ToolText)
        return false;
    m_clicks.mouseMove(toPicture(event->position().toPoint()));
    if (m_mode == Clicks::Picture)
        rebuildTemporary();
    else
        m_view->update();
    return true;
}

bool ShapeHost::mouseRelease(QMouseEvent* event)
{
    if (m_mode == Clicks::Live || event->button() != Qt::LeftButton || !placement().placing() || tool() == ToolText)
        return false;
    ShapePlacement& placement = m_clicks.placement();
    if (placement.leftUp())
        finishShape();
    else if (!placement.placing())
        release();  // coinciding points: dropped
    m_view->update();
    tellNextClick();
    return true;
}

void ShapeHost::rebuildTemporary()
{
    const ImageMapping map = m_image.mapping();
    m_temporary = placement().build(m_settings.colour, m_settings.colour, QString(), m_image.imageSize(), map.zoomX, map.zoomY);
    if (m_temporary)
        m_temporary->show[ShowName] = 0;  // its number is known when it is finished
    m_view->update();
}

void ShapeHost::finishShape()
{
    const ImageMapping map = m_image.mapping();
    std::unique_ptr<CShape> shape = placement().build(m_settings.colour, m_settings.colour, QString(), m_image.imageSize(),
                                                      map.zoomX, map.zoomY);
    release();
    if (!shape)
        return;
    shape->lineWidth = m_settings.lineWidth;
    shape->inProgress = 0;
    hand(std::move(shape));
}

void ShapeHost::hand(std::unique_ptr<CShape> shape)
{
    if (shape && m_shapes) {
        m_shapes->append(std::move(shape));
        Q_EMIT shapesChanged();
    } else if (shape && m_recordSink) {
        m_recordSink(std::move(shape));
    }
}

void ShapeHost::paintTemporary(QPainter& p)
{
    if (m_mode == Clicks::Live) {
        m_clicks.drawInProgress(p, m_image.mapping(), m_settings, m_image.imageSize());
        return;
    }
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

// The typed lines become one label line; the box goes.
QString ShapeHost::takeTypedText()
{
    QString typed = m_textEdit ? m_textEdit->toPlainText() : QString();
    typed.replace(QLatin1String("\r\n"), QLatin1String("_")).replace(QLatin1Char('\n'), QLatin1Char('_'));
    delete m_textEdit.data();
    return typed;
}

void ShapeHost::closeTextBox()
{
    const QString typed = takeTypedText();
    const QPoint at = placement().points()[0];
    m_clicks.cancel();
    if (typed.isEmpty() || !m_shapes)
        return;
    std::vector<QPoint> pts{at};
    const ImageMapping map = m_image.mapping();
    auto shape = makeShape(ToolText, m_settings.colour, m_settings.colour, typed, m_image.imageSize(), pts, map.zoomX, map.zoomY);
    shape->lineWidth = m_settings.lineWidth;
    shape->inProgress = 0;
    m_view->update();
    hand(std::move(shape));
}

void ShapeHost::release()
{
    m_clicks.cancel();
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

// Ends the tool in use, then removes finished shapes; `remove` answers
// whether it removed any.
void ShapeHost::removeShapes(const std::function<bool(ShapeList&)>& remove)
{
    setTool(ToolNone);
    if (m_shapes && remove(*m_shapes))
        Q_EMIT shapesChanged();
    m_view->update();
}

void ShapeHost::undo()
{
    removeShapes([](ShapeList& shapes) { return shapes.undo(); });
}

void ShapeHost::deleteAll()
{
    removeShapes([](ShapeList& shapes) {
        const bool had = !shapes.empty();
        shapes.clear();
        return had;
    });
}

void ShapeHost::deleteShape(size_t index)
{
    removeShapes([index](ShapeList& shapes) { return shapes.removeAt(index); });
}

void ShapeHost::toggleShowFlag(int selector)
{
    if (selector == 1 || (m_shapes && m_shapes->toggleShowFlag(selector)))
        m_view->update();
}

}  // namespace measure
