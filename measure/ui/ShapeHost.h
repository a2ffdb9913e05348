#pragma once

#include "measure/core/image_mapping.h"
#include "measure/core/shape_list.h"
#include "measure/core/shape_placement.h"

#include <QObject>
#include <QPlainTextEdit>
#include <QPointer>
#include <QSize>

#include <memory>

class QMouseEvent;
class QPainter;
class QWidget;

namespace measure {

struct MeasureState;

// Places measurement shapes on a view with the mouse: the active tool, the
// clicks of each tool, the shape under the mouse drawn with an inverting
// raster operation while it is placed, finishing into the shape list, the
// text box of Add Text, and the commands on all shapes. The view forwards
// its mouse events and calls paintTemporary() at the end of its paint.
class ShapeHost : public QObject {
    Q_OBJECT
public:
    // `view` gets the mouse events and shows the picture `image` describes.
    ShapeHost(QWidget* view, const ShownImage& image, MeasureState& settings, ShapeList& shapes);
    ~ShapeHost() override;

    // A window position in picture pixels, kept on the picture: a shape
    // being placed never reaches beyond it.
    QPoint toPicture(QPoint windowPos) const;

    int tool() const { return m_placement.tool(); }
    // Drops a shape half placed with another tool.
    void setTool(int toolCode);

    bool mousePress(QMouseEvent* event);
    bool mouseMove(QMouseEvent* event);
    bool mouseRelease(QMouseEvent* event);
    void paintTemporary(QPainter& p);

    void undo();
    void deleteAll();
    void toggleShowFlag(int selector);
    // Drops a shape half placed (another view became active).
    void abandon();

    const ShapePlacement& placement() const { return m_placement; }
    const CShape* temporaryShape() const { return m_temporary.get(); }
    QPlainTextEdit* textEdit() const { return m_textEdit; }

Q_SIGNALS:
    // A shape was finished or removed: the document changed.
    void shapesChanged();

private:
    void rebuildTemporary();
    void finishShape();
    void openTextBox(QPoint windowPos);
    void closeTextBox();
    void release();

    QWidget* m_view;
    const ShownImage& m_image;
    MeasureState& m_settings;
    ShapeList& m_shapes;
    ShapePlacement m_placement;
    std::unique_ptr<CShape> m_temporary;
    QPointer<QPlainTextEdit> m_textEdit;
};

}  // namespace measure
