// The twelve tools' shapes: each sets its kind and point count; the circles
// and the arc also keep their centre and box at the zoom they were made at.
#include "shapes.h"

namespace measure {

CLine::CLine(const QColor& line, const QColor& text, const QString& s, QSize picture, const std::vector<QPoint>& pts)
    : CShape(KindLine, 3, line, text, s, picture, pts)
{
}

CContinualLine::CContinualLine(const QColor& line, const QColor& text, const QString& s, QSize picture,
                               const std::vector<QPoint>& pts)
    : CShape(KindContinualLine, 11, line, text, s, picture, pts)
{
}

CDotLine::CDotLine(const QColor& line, const QColor& text, const QString& s, QSize picture, const std::vector<QPoint>& pts)
    : CShape(KindDotLine, 4, line, text, s, picture, pts)
{
}

CPolygon::CPolygon(const QColor& line, const QColor& text, const QString& s, QSize picture, const std::vector<QPoint>& pts)
    : CShape(KindPolygon, 11, line, text, s, picture, pts)
{
}

CRCircle::CRCircle(const QColor& line, const QColor& text, const QString& s, QSize picture, const std::vector<QPoint>& pts,
                   double zoomX, double zoomY)
    : CShape(KindRCircle, 3, line, text, s, picture, pts)
{
    centre = measured().centre;
    box = circleBox(centre, value1, zoomX, zoomY);
}

CCircle::CCircle(const QColor& line, const QColor& text, const QString& s, QSize picture, const std::vector<QPoint>& pts,
                 double zoomX, double zoomY)
    : CShape(KindCircle, 3, line, text, s, picture, pts)
{
    centre = measured().centre;
    box = circleBox(centre, value1, zoomX, zoomY);
}

CTPCircle::CTPCircle(const QColor& line, const QColor& text, const QString& s, QSize picture, const std::vector<QPoint>& pts)
    : CShape(KindTPCircle, 4, line, text, s, picture, pts)
{
    centre = measured().centre;
}

CArc::CArc(const QColor& line, const QColor& text, const QString& s, QSize picture, const std::vector<QPoint>& pts, double zoomX,
           double zoomY)
    : CShape(KindArc, 4, line, text, s, picture, pts)
{
    centre = measured().centre;
    box = circleBox(centre, value1, zoomX, zoomY).toRect();
}

CTAngle::CTAngle(const QColor& line, const QColor& text, const QString& s, QSize picture, const std::vector<QPoint>& pts)
    : CShape(KindTAngle, 4, line, text, s, picture, pts)
{
}

CFAngle::CFAngle(const QColor& line, const QColor& text, const QString& s, QSize picture, const std::vector<QPoint>& pts)
    : CShape(KindFAngle, 5, line, text, s, picture, pts)
{
}

CTCircle::CTCircle(const QColor& line, const QColor& text, const QString& s, QSize picture, const std::vector<QPoint>& pts,
                   double zoomX, double zoomY)
    : CShape(KindTCircle, 5, line, text, s, picture, pts)
{
    const MeasuredValues m = measured();
    centre1 = m.centre;
    centre2 = m.centre2;
    box1 = circleBox(centre1, m.radius, zoomX, zoomY).toRect();
    box2 = circleBox(centre2, m.radius2, zoomX, zoomY).toRect();
}

CText::CText(const QColor& line, const QColor& text, const QString& s, QSize picture, const std::vector<QPoint>& pts)
    : CShape(KindText, 2, line, text, s, picture, pts)
{
}

}  // namespace measure
