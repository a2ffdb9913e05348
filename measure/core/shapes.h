#pragma once

#include "shape.h"

#include <memory>

namespace measure {

// One class per tool. Each constructor takes the line and text colours, the
// text (Add Text only), the picture size and the points placed so far (in
// picture pixels), and computes the measured values. Drawing and labels are
// the same for all of them (CShape::Draw over the figure painter).

class CLine : public CShape {
public:
    CLine(const QColor& line, const QColor& text, const QString& s, QSize picture, const std::vector<QPoint>& pts);
};

class CContinualLine : public CShape {
public:
    CContinualLine(const QColor& line, const QColor& text, const QString& s, QSize picture, const std::vector<QPoint>& pts);
};

class CDotLine : public CShape {
public:
    CDotLine(const QColor& line, const QColor& text, const QString& s, QSize picture, const std::vector<QPoint>& pts);
};

class CPolygon : public CShape {
public:
    CPolygon(const QColor& line, const QColor& text, const QString& s, QSize picture, const std::vector<QPoint>& pts);
};

class CRCircle : public CShape {
public:
    CRCircle(const QColor& line, const QColor& text, const QString& s, QSize picture, const std::vector<QPoint>& pts,
             double zoomX, double zoomY);
    QRectF box;  // in drawing coordinates
    Point2d centre;
};

class CCircle : public CShape {
public:
    CCircle(const QColor& line, const QColor& text, const QString& s, QSize picture, const std::vector<QPoint>& pts, double zoomX,
            double zoomY);
    QRectF box;
    Point2d centre;
};

class CTPCircle : public CShape {
public:
    CTPCircle(const QColor& line, const QColor& text, const QString& s, QSize picture, const std::vector<QPoint>& pts);
    Point2d centre;
    QRect box;
};

class CArc : public CShape {
public:
    CArc(const QColor& line, const QColor& text, const QString& s, QSize picture, const std::vector<QPoint>& pts, double zoomX,
         double zoomY);
    QRect box;
    Point2d centre;
};

class CTAngle : public CShape {
public:
    CTAngle(const QColor& line, const QColor& text, const QString& s, QSize picture, const std::vector<QPoint>& pts);
};

class CFAngle : public CShape {
public:
    CFAngle(const QColor& line, const QColor& text, const QString& s, QSize picture, const std::vector<QPoint>& pts);
};

class CTCircle : public CShape {
public:
    CTCircle(const QColor& line, const QColor& text, const QString& s, QSize picture, const std::vector<QPoint>& pts,
             double zoomX, double zoomY);
    QRect box1, box2;
    Point2d centre1, centre2;
};

class CText : public CShape {
public:
    CText(const QColor& line, const QColor& text, const QString& s, QSize picture, const std::vector<QPoint>& pts);
};

// A shape of the tool's kind from the points placed so far.
std::unique_ptr<CShape> makeShape(int toolCode, const QColor& line, const QColor& text, const QString& s, QSize picture,
                                  const std::vector<QPoint>& pts, double zoomX, double zoomY);

}  // namespace measure
