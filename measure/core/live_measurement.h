#pragma once

#include "image_mapping.h"
#include "shape_placement.h"

#include <QLineF>
#include <QPoint>
#include <QSize>

#include <memory>

class QPainter;

namespace measure {

// The measurement being made on a live picture: the clicks of the chosen tool
// in the picture tools' click order, in frame pixels (the view maps its
// clicks with ImageMapping::mapToImage), and on the last click the finished
// record, measured like the picture's shapes.
class LiveMeasurement {
public:
    enum class Click {
        Ignored,   // not taken (no tool, or a repeated point)
        Taken,     // one more point
        OpenText,  // the text tool's first click: ask for the text
        Finished,  // the record is ready: takeRecord()
    };

    // A tool code of the picture tools (108 Line ... 121 Add Text), 0 for none.
    void setTool(int toolCode);
    int tool() const { return m_placement.tool(); }
    bool inProgress() const { return m_placement.placing(); }
    int clicks() const { return m_placement.clicks(); }
    void cancel() { m_placement.reset(); }

    Click leftClick(QPoint frame);
    // Ends a continuous line (at the click) or closes a polygon.
    bool rightClick(QPoint frame);
    void mouseMove(QPoint frame) { m_placement.mouseMove(frame); }
    const ShapePlacement& placement() const { return m_placement; }
    ShapePlacement& placement() { return m_placement; }

    // The length the line tool has measured so far (frame pixels): the
    // calibration's reference is taken at the second click.
    double lineLength() const;
    // The line tool's first two points (frame pixels).
    QLineF line() const;

    // The finished measurement as a live record; the text for Add Text.
    std::unique_ptr<CShape> takeRecord(const MeasureState& m, const QString& text = QString());

    // Draws the measurement in progress as the live picture shows it, its
    // extension lines across a frame of `frame` pixels.
    void drawInProgress(QPainter& p, const ImageMapping& map, const MeasureState& m, QSize frame) const;

private:
    Figure inProgressFigure(const MeasureState& m) const;

    ShapePlacement m_placement;
};

}  // namespace measure
