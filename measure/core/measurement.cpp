#include "measurement.h"

#include <cmath>
#include <span>

namespace measure {

namespace {

Point2d midpoint(const Point2d& a, const Point2d& b)
{
    return {(a.x + b.x) / 2, (a.y + b.y) / 2};
}

// The point at `i`, or an unplaced one where there are fewer vertices.
Point2d vertexAt(std::span<const Point2d> v, size_t i)
{
    return i < v.size() ? v[i] : Point2d{};
}

void fill(Readings& r, int column, double value)
{
    r.value[static_cast<size_t>(column)] = value;
    r.filled[static_cast<size_t>(column)] = true;
}

// A circle of radius r (units): its radius or diameter, circumference, area.
void circleReadings(Readings& r, double radius, bool asDiameter)
{
    if (asDiameter) {
        const double d = 2 * radius;
        fill(r, ColDiameter, d);
        fill(r, ColPerimeter, kPi * d);
        fill(r, ColArea, d * (kPi * d) * 0.25);
        return;
    }
    fill(r, ColRadius1, radius);
    fill(r, ColPerimeter, kTwoPi * radius);
    fill(r, ColArea, kPi * radius * radius);
}

// One label line: its row, the show flag that governs it, its prefix and
// the reading it prints.
struct LabelLine {
    int row;
    ShowFlag flag;
    const char* prefix;
    ReadingColumn column;
    Quantity quantity;
};

constexpr LabelLine kLength{1, ShowLength, "L:", ColLength, Quantity::Length};
constexpr LabelLine kRadius{1, ShowRadius, "R:", ColRadius1, Quantity::Length};
constexpr LabelLine kAngle{1, ShowAngle, "<:", ColAngle, Quantity::Angle};
constexpr LabelLine kLengthRows[] = {kLength};
constexpr LabelLine kAngleRows[] = {kAngle};
constexpr LabelLine kPolygonRows[] = {{1, ShowCircumference, "C:", ColPerimeter, Quantity::Length},
                                      {2, ShowArea, "A:", ColArea, Quantity::Area}};
constexpr LabelLine kRadiusCircleRows[] = {
    kRadius, {2, ShowCircumference, "C:", ColPerimeter, Quantity::Length}, {3, ShowArea, "A:", ColArea, Quantity::Area}};
constexpr LabelLine kDiameterCircleRows[] = {{1, ShowDiameter, "D:", ColDiameter, Quantity::Length},
                                             {2, ShowCircumference, "C:", ColPerimeter, Quantity::Length},
                                             {3, ShowArea, "A:", ColArea, Quantity::Area}};
constexpr LabelLine kArcRows[] = {kRadius,
                                  {2, ShowAngle, "<:", ColAngle, Quantity::Angle},
                                  {3, ShowCircumference, "C:", ColPerimeter, Quantity::Length},
                                  {4, ShowArea, "A:", ColArea, Quantity::Area}};
// The second radius shows together with the first.
constexpr LabelLine kCircleToCircleRows[] = {
    kRadius, {2, ShowLength, "L:", ColLength, Quantity::Length}, {3, ShowRadius, "R:", ColRadius2, Quantity::Length}};

std::span<const LabelLine> labelLinesOf(int kind)
{
    switch (kind) {
    case KindLine:
    case KindContinualLine:
    case KindDotLine: return kLengthRows;
    case KindPolygon: return kPolygonRows;
    case KindRCircle:
    case KindTPCircle: return kRadiusCircleRows;
    case KindCircle: return kDiameterCircleRows;
    case KindArc: return kArcRows;
    case KindTAngle:
    case KindFAngle: return kAngleRows;
    case KindTCircle: return kCircleToCircleRows;
    default: return {};
    }
}

}  // namespace

int vertexCount(int kind)
{
    switch (kind) {
    case KindLine:
    case KindRCircle:
    case KindCircle: return 2;
    case KindDotLine:
    case KindTPCircle:
    case KindArc:
    case KindTAngle: return 3;
    case KindFAngle:
    case KindTCircle: return 4;
    case KindContinualLine:
    case KindPolygon: return 10;
    case KindText: return 1;
    default: return 0;
    }
}

MeasuredValues measureVertices(int kind, std::span<const Point2d> v)
{
    MeasuredValues m;
    const auto p = [&](size_t i) { return vertexAt(v, i); };
    switch (kind) {
    case KindLine: m.length = distance(p(0), p(1)); break;
    case KindContinualLine: m.length = pathLength(v, false); break;
    case KindDotLine: m.length = distance(p(0), perpendicularFoot(p(0), p(1), p(2))); break;
    case KindPolygon:
        m.perimeter = pathLength(v, true);
        m.area = std::abs(shoelaceArea(v));
        break;
    case KindRCircle:
        m.centre = p(0);
        m.radius = distance(p(0), p(1));
        break;
    case KindCircle:
        m.centre = midpoint(p(0), p(1));
        m.radius = distance(m.centre, p(0));
        break;
    case KindTPCircle:
        if (const auto c = circleThrough(p(0), p(1), p(2))) {
            m.centre = c->centre;
            m.radius = c->radius;
        } else {
            m.exists = false;
        }
        break;
    case KindArc:
        if (const auto c = arcCentre(p(0), p(1), p(2))) {
            m.centre = *c;
            m.radius = distance(*c, p(0));
            // The angle the drawn arc sweeps, so that its length and area
            // agree with the figure also beyond a half circle.
            m.angle = arcSweep(*c, p(0), p(1), p(2));
        } else {
            m.exists = false;
        }
        break;
    case KindTAngle: m.angle = angleBetweenLines(p(2), p(0), p(2), p(1)); break;
    case KindFAngle: m.angle = angleBetweenLines(p(0), p(1), p(2), p(3)); break;
    case KindTCircle:
        m.centre = midpoint(p(0), p(1));
        m.centre2 = midpoint(p(2), p(3));
        m.radius = distance(m.centre, p(0));
        m.radius2 = distance(m.centre2, p(2));
        m.length = distance(m.centre, m.centre2);
        break;
    default: break;
    }
    return m;
}

KeptValues keptValues(int kind, const MeasuredValues& m, bool liveRecord)
{
    switch (kind) {
    case KindLine:
    case KindContinualLine:
    case KindDotLine: return {m.length};
    case KindPolygon: return {m.perimeter, m.area};
    case KindCircle: return {liveRecord ? 2 * m.radius : m.radius};
    case KindRCircle:
    case KindTPCircle: return {m.radius};
    case KindArc: return {m.radius, m.angle};
    case KindTAngle:
    case KindFAngle: return {m.angle};
    case KindTCircle: return liveRecord ? KeptValues{m.length} : KeptValues{m.radius, m.radius2, m.length};
    default: return {};
    }
}

Readings readingsOf(int kind, const MeasuredValues& m, double s)
{
    Readings r;
    switch (kind) {
    case KindLine:
    case KindContinualLine:
    case KindDotLine: fill(r, ColLength, m.length * s); break;
    case KindPolygon:
        fill(r, ColPerimeter, m.perimeter * s);
        fill(r, ColArea, m.area * s * s);
        break;
    case KindRCircle:
    case KindTPCircle: circleReadings(r, m.radius * s, false); break;
    case KindCircle: circleReadings(r, m.radius * s, true); break;
    case KindArc: {
        const double radius = m.radius * s;
        fill(r, ColRadius1, radius);
        fill(r, ColAngle, m.angle);
        fill(r, ColPerimeter, m.angle / 360.0 * (kTwoPi * radius));
        fill(r, ColArea, m.angle / 360.0 * kPi * radius * radius);
        break;
    }
    case KindTAngle:
    case KindFAngle: fill(r, ColAngle, m.angle); break;
    case KindTCircle:
        fill(r, ColRadius1, m.radius * s);
        fill(r, ColLength, m.length * s);
        fill(r, ColRadius2, m.radius2 * s);
        break;
    default: break;
    }
    return r;
}

const char* namePrefix(int kind)
{
    switch (kind) {
    case KindLine: return "DL";
    case KindContinualLine: return "ML";
    case KindDotLine: return "PL";
    case KindPolygon: return "PG";
    case KindRCircle: return "RC";
    case KindCircle: return "DC";
    case KindTPCircle: return "TC";
    case KindArc: return "AR";
    case KindTAngle: return "TA";
    case KindFAngle: return "FA";
    case KindTCircle: return "CC";
    default: return nullptr;
    }
}

QString measurementName(int kind, int number)
{
    const char* prefix = namePrefix(kind);
    return prefix ? QLatin1String(prefix) + QString::number(number) : QString();
}

std::vector<LabelRow> labelRows(int kind, int number, const Readings& readings, const ShowFlags& show,
                                const MeasureState& settings)
{
    if (!namePrefix(kind))
        return {};
    std::vector<LabelRow> rows{{0, show[ShowName] != 0, measurementName(kind, number)}};
    for (const LabelLine& line : labelLinesOf(kind)) {
        rows.push_back({line.row, show[static_cast<size_t>(line.flag)] != 0,
                        labelValue(line.prefix, readings.at(line.column), line.quantity, show[ShowUnit] != 0, settings)});
    }
    return rows;
}

int KindCounter::next(int kind, bool counted)
{
    if (kind < 0 || kind >= static_cast<int>(m_counts.size()))
        return 0;
    int& count = m_counts[static_cast<size_t>(kind)];
    return counted ? count++ : count;
}

}  // namespace measure
