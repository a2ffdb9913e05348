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

double keptValue(Kept meaning, const MeasuredValues& m)
{
    switch (meaning) {
    case Kept::None: return 0;
    case Kept::Length: return m.length;
    case Kept::Radius: return m.radius;
    case Kept::Radius2: return m.radius2;
    case Kept::Diameter: return 2 * m.radius;
    case Kept::Angle: return m.angle;
    case Kept::Perimeter: return m.perimeter;
    case Kept::Area: return m.area;
    }
    return 0;
}

}  // namespace

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
    const KindInfo* k = kindInfo(kind);
    if (!k)
        return {};
    std::array<double, 3> v{};
    for (size_t i = 0; i < v.size(); ++i)
        v[i] = keptValue((liveRecord ? k->liveKept : k->kept)[i], m);
    return {v[0], v[1], v[2]};
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
    for (const LabelLine& line : kindInfo(kind)->labels) {
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
