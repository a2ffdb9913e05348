#pragma once

#include <QColor>
#include <QImage>
#include <QString>

class QFont;
class QPainter;
class QPen;

namespace measure {

enum OverlayMode : int { OverlayNone = 0, OverlayCrosshair = 1, OverlayGrid = 2, OverlayCircleGrid = 3, OverlayScaleCross = 4 };

struct OverlayParams {
    int frameWidth = 640;
    int frameHeight = 480;
    double zoomX = 1;
    double zoomY = 1;
    int mode = OverlayNone;
    int spacing = 10;  // frame pixels
    QString label;     // the spacing in real units
    int crossX = 320;  // crosshair position, frame pixels
    int crossY = 240;
    // How far the picture is scrolled, display pixels: the crosshair marks a
    // point of the frame and moves with it; the scales stay on the window.
    int scrollX = 0;
    int scrollY = 0;
    QColor colour = Qt::red;
    int lineWidth = 1;
    // The label already drawn (white on transparent), to stamp instead of
    // laying the text out on every frame.
    const QImage* labelImage = nullptr;
    // Pens made once by a caller that paints every frame (else made here).
    const QPen* colouredPen = nullptr;
    const QPen* whitePen = nullptr;
    // Saved pictures ring the circle grid out to half the picture's width;
    // the live picture stops at half its height.
    bool circlesToHalfWidth = false;
};

// The label as the overlay draws it, for OverlayParams::labelImage.
QImage renderOverlayLabel(const QString& label, const QFont& font);

// Draws the live picture's overlay (crosshair, grid, circle grid or scale
// cross) in display coordinates; leaves the painter's pen and brush changed.
void paintOverlay(QPainter& p, const OverlayParams& o);

// Whether the painter's pen draws a horizontal or vertical line with the
// same pixels as a filled one-pixel-wide rectangle: solid, at most one pixel
// wide, square-capped, not antialiased, on a raster device without scaling.
bool axisLinesAsRects(QPainter& p);

// A line of the overlay. The raster engine blends a vertical line pixel by
// pixel, which for a grid over a live frame costs a tenth of the frame's
// decoding; as a rectangle fill it costs next to nothing. Other lines, and
// pens where the two differ, are drawn as lines.
void drawAxisLine(QPainter& p, bool asRect, int x1, int y1, int x2, int y2);

// Half-length of the k-th tick of the scale cross, counted from the centre.
int scaleTickHalfLength(int k);

}  // namespace measure
