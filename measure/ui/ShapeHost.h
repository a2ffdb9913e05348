#pragma once

#include "measure/core/image_mapping.h"
#include "measure/core/live_measurement.h"
#include "measure/core/shape_list.h"

#include <QObject>
#include <QPlainTextEdit>
#include <QPointer>

#include <functional>
#include <memory>

class QMouseEvent;
class QPainter;
class QWidget;

namespace measure {

struct MeasureState;

// Places measurement shapes on a view with the mouse, for the picture and
// the live windows alike: the active tool, the clicks of each tool mapped
// through the view's own mapping and kept on the picture, the shape being
// placed drawn over the view, the text box of Add Text, and the finished
// shape handed to the window. The view forwards its mouse events and calls
// paintTemporary() at the end of its paint.
class ShapeHost : public QObject {
    Q_OBJECT
public:
    // A saved picture takes each point when the button is released and
    // draws the shape being placed inverted; its polyline ends with a right
    // click anywhere. A live picture takes each point when the button goes
    // down, a right click sets a polyline's last vertex where it is, and
    // the shape being placed is drawn in the measuring colour.
    enum class Clicks { Picture, Live };

    // `view` gets the mouse events and shows the picture `image` describes.
    // A picture's finished shapes go into `shapes`; a live window takes its
    // records through setRecordSink().
    ShapeHost(QWidget* view, const ShownImage& image, MeasureState& settings, ShapeList* shapes, Clicks clicks = Clicks::Picture);
    ~ShapeHost() override;

    using RecordSink = std::function<void(std::unique_ptr<CShape>)>;
    void setRecordSink(RecordSink sink) { m_recordSink = std::move(sink); }

    // A window position in picture pixels, kept on the picture: a shape
    // being placed never reaches beyond it.
    QPoint toPicture(QPoint windowPos) const;

    int tool() const { return placement().tool(); }
    // Drops a shape half placed with another tool.
    void setTool(int toolCode);

    bool mousePress(QMouseEvent* event);
    bool mouseMove(QMouseEvent* event);
    bool mouseRelease(QMouseEvent* event);
    void paintTemporary(QPainter& p);

    // The finished shapes of a picture.
    void undo();
    void deleteAll();
    // Deletes the finished shape at `index` (the export list's Delete).
    void deleteShape(size_t index);
    void toggleShowFlag(int selector);
    // Drops a shape half placed (another view became active).
    void abandon();

    const ShapePlacement& placement() const { return m_clicks.placement(); }
    // The line tool's first two points and their length (picture pixels).
    QLineF line() const { return m_clicks.line(); }
    double lineLength() const { return m_clicks.lineLength(); }
    const CShape* temporaryShape() const { return m_temporary.get(); }
    QPlainTextEdit* textEdit() const { return m_textEdit; }

Q_SIGNALS:
    // A shape was finished or removed: the document changed.
    void shapesChanged();
    // A point was taken; the window may end the placing here.
    void clickTaken();
    // What the next click does (empty without a tool), when that changes.
    void hint(const QString& text);

private:
    void removeShapes(const std::function<bool(ShapeList&)>& remove);
    bool livePress(QMouseEvent* event);
    bool picturePress(QMouseEvent* event);
    void rebuildTemporary();
    void finishShape();
    // A finished shape goes into the picture's list, or to the live window.
    void hand(std::unique_ptr<CShape> shape);
    void openTextBox(QPoint windowPos);
    QString takeTypedText();
    void closeTextBox();
    void release();
    // Tells what the next click does, after `before` when given.
    void tellNextClick(const QString& before = QString());

    QWidget* m_view;
    const ShownImage& m_image;
    MeasureState& m_settings;
    ShapeList* m_shapes;
    Clicks m_mode;
    LiveMeasurement m_clicks;
    RecordSink m_recordSink;
    std::unique_ptr<CShape> m_temporary;
    QPointer<QPlainTextEdit> m_textEdit;
    QString m_told;
};

}  // namespace measure
