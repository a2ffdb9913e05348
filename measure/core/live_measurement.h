#pragma once

#include "shape.h"
#include "shape_placement.h"
#include "video_shape.h"

#include <QPoint>
#include <QPointF>

#include <memory>

class QPainter;

namespace measure {

// How a live window maps its client area onto the frame: frame = (client +
// scroll) / zoom, per axis.
struct LiveMapping {
    double zoomX = 1;
    double zoomY = 1;
    QPointF scroll;

    Point2d toFrame(QPoint client) const { return {(client.x() + scroll.x()) / zoomX, (client.y() + scroll.y()) / zoomY}; }
};

// The measurement being made on a live picture: the clicks of the chosen tool
// (the picture tools' click order, counted in client pixels where the user
// clicked) and, on the last click, the finished record in frame pixels.
class LiveMeasurement {
public:
    enum class Click {
        Ignored,    // not taken (no tool, or a repeated point)
        Taken,      // one more point
        OpenText,   // the text tool's first click: ask for the text
        Finished,   // the record is ready: takeRecord()
    };

    // A tool code of the picture tools (108 Line ... 121 Add Text), 0 for none.
    void setTool(int toolCode);
    int tool() const { return m_placement.tool(); }
    bool inProgress() const { return m_placement.placing(); }
    int clicks() const { return m_placement.clicks(); }
    void cancel() { m_placement.reset(); }

    Click leftClick(QPoint client);
    // Ends a continuous line (at the click) or closes a polygon.
    bool rightClick(QPoint client);
    void mouseMove(QPoint client) { m_placement.mouseMove(client); }

    // The value the line tool has measured so far (frame pixels): the
    // calibration's reference is taken at the second click.
    double lineLength(const LiveMapping& map) const;

    // The finished measurement as a live record; the text for Add Text.
    std::unique_ptr<CVideoShap> takeRecord(const LiveMapping& map, const MeasureState& m, const QString& text = QString());

    // Draws the measurement in progress as the live picture shows it.
    void drawInProgress(QPainter& p, const LiveMapping& map, const MeasureState& m) const;

private:
    ShapePlacement m_placement;
};

}  // namespace measure
