#pragma once

#include "ShapeHost.h"

#include "measure/core/shape_list.h"

#include <QImage>
#include <QWidget>

namespace measure {

struct MeasureState;

// A picture with measurement shapes on it, placed with the mouse: the
// smallest host of the measuring tools.
class ShapeCanvas : public QWidget, public ShownImage {
    Q_OBJECT
public:
    ShapeCanvas(const QImage& picture, MeasureState& settings, QWidget* parent = nullptr);

    ShapeHost& host() { return m_host; }
    ShapeList& shapes() { return m_shapes; }
    void setZoom(double zoom) { setZoom(zoom, zoom); }
    void setZoom(double zoomX, double zoomY);

    ImageMapping mapping() const override { return {m_zoomX, m_zoomY, QPointF()}; }
    QSize imageSize() const override { return m_picture.size(); }
    QRect imageArea() const override;
    // The picture with the finished shapes, at the current zoom.
    QImage render();

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void paintPicture(QPainter& p);

    QImage m_picture;
    MeasureState& m_settings;
    ShapeList m_shapes;
    ShapeHost m_host;
    double m_zoomX = 1;
    double m_zoomY = 1;
};

}  // namespace measure
