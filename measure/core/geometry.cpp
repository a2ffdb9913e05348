#include "geometry.h"

#include <algorithm>
#include <cmath>

namespace measure {

namespace {

// The slope the bisector of a horizontal chord is given: read as vertical.
constexpr double kVerticalMarker = 1e6;

double roundHalfUp(double v)
{
    return std::floor(v + 0.5);
}

}  // namespace

double distance(const Point2d& a, const Point2d& b)
{
    return std::hypot(a.x - b.x, a.y - b.y);
}

double angleBetweenLines(const Point2d& a1, const Point2d& a2, const Point2d& b1, const Point2d& b2)
{
    const bool aVertical = a2.x == a1.x;
    const bool bVertical = b2.x == b1.x;
    if (aVertical && bVertical)
        return 0;
    const double mA = aVertical ? 0 : (a2.y - a1.y) / (a2.x - a1.x);
    const double mB = bVertical ? 0 : (b2.y - b1.y) / (b2.x - b1.x);
    Point2d i;
    if (aVertical) {
        i = {a1.x, b2.y + (a1.x - b2.x) * mB};
    } else if (bVertical) {
        i = {b1.x, a2.y + mA * (b1.x - a2.x)};
    } else {
        if (mA == mB)
            return 0;
        i.x = (a2.y + b2.x * mB - b2.y - a2.x * mA) / (mB - mA);
        i.y = a2.y + mA * (i.x - a2.x);
    }
    const Point2d a = distance(a1, i) > distance(a2, i) ? a1 : a2;
    const Point2d b = distance(b1, i) > distance(b2, i) ? b1 : b2;
    const double la = distance(a, i);
    const double lb = distance(b, i);
    if (la == 0 || lb == 0)
        return 0;
    const double cosine = ((b.x - i.x) * (a.x - i.x) + (b.y - i.y) * (a.y - i.y)) / (la * lb);
    return std::acos(std::clamp(cosine, -1.0, 1.0)) * 180.0 / kDegreePi;
}

std::optional<Circle> circleThrough(const Point2d& p1, const Point2d& p2, const Point2d& p3)
{
    const double d = 2 * ((p2.x - p1.x) * (p3.y - p2.y) - (p2.y - p1.y) * (p3.x - p2.x));
    if (std::abs(d) < 1e-10)
        return std::nullopt;
    const double s = (p2.x - p1.x) * (p2.x + p1.x) + (p2.y - p1.y) * (p2.y + p1.y);
    const double t = (p3.x - p1.x) * (p3.x + p1.x) + (p3.y - p1.y) * (p3.y + p1.y);
    Circle c;
    c.centre.x = (s * (p3.y - p1.y) - (p2.y - p1.y) * t) / d;
    c.centre.y = ((p2.x - p1.x) * t - s * (p3.x - p1.x)) / d;
    c.radius = distance(p1, c.centre);
    return c;
}

Point2d perpendicularFoot(const Point2d& p, const Point2d& a, const Point2d& b)
{
    const double dx = b.x - a.x;
    const double dy = b.y - a.y;
    const double len2 = dx * dx + dy * dy;
    if (len2 == 0)
        return a;
    const double t = ((p.x - a.x) * dx + (p.y - a.y) * dy) / len2;
    return {a.x + t * dx, a.y + t * dy};
}

std::optional<Point2d> arcCentre(const Point2d& p0, const Point2d& p1, const Point2d& p2)
{
    const Point2d m1{(p0.x + p2.x) / 2, (p0.y + p2.y) / 2};
    const Point2d m2{(p1.x + p2.x) / 2, (p1.y + p2.y) / 2};
    const double k1 = p0.y == p2.y ? kVerticalMarker : -(p0.x - p2.x) / (p0.y - p2.y);
    const double k2 = p1.y == p2.y ? kVerticalMarker : -(p1.x - p2.x) / (p1.y - p2.y);
    if (k1 == k2)
        return std::nullopt;
    if (k1 == kVerticalMarker)
        return Point2d{m1.x, m2.y + k2 * (m1.x - m2.x)};
    if (k2 == kVerticalMarker)
        return Point2d{m2.x, m1.y + k1 * (m2.x - m1.x)};
    Point2d c;
    c.x = (m2.y - m1.y + k1 * m1.x - k2 * m2.x) / (k1 - k2);
    c.y = m1.y + k1 * (c.x - m1.x);
    return c;
}

bool arcRunsFromFirstEnd(const Point2d& p0, const Point2d& p1, const Point2d& p2)
{
    return (p1.y - p0.y) * (p2.x - p0.x) - (p1.x - p0.x) * (p2.y - p0.y) < 0;
}

double arcSweep(const Point2d& centre, const Point2d& p0, const Point2d& p1, const Point2d& p2)
{
    // Screen angles (y grows downwards, so counter-clockwise on screen is
    // growing angle with y negated).
    const auto screenAngle = [&centre](const Point2d& p) {
        return std::atan2(-(p.y - centre.y), p.x - centre.x) * 180.0 / kDegreePi;
    };
    const Point2d& from = arcRunsFromFirstEnd(p0, p1, p2) ? p0 : p1;
    const Point2d& to = arcRunsFromFirstEnd(p0, p1, p2) ? p1 : p0;
    double sweep = screenAngle(to) - screenAngle(from);
    while (sweep < 0)
        sweep += 360.0;
    while (sweep >= 360.0)
        sweep -= 360.0;
    return sweep;
}

double pathLength(std::span<const Point2d> points, bool closed)
{
    double sum = 0;
    for (size_t i = 1; i < points.size(); ++i)
        sum += distance(points[i - 1], points[i]);
    if (closed && points.size() > 1)
        sum += distance(points.back(), points.front());
    return sum;
}

double shoelaceArea(std::span<const Point2d> points)
{
    double twice = 0;
    const size_t n = points.size();
    for (size_t i = 0; i < n; ++i) {
        const Point2d& a = points[i];
        const Point2d& b = points[(i + 1) % n];
        twice += roundHalfUp(a.x) * roundHalfUp(b.y) - roundHalfUp(b.x) * roundHalfUp(a.y);
    }
    return std::abs(twice) / 2;
}

}  // namespace measure
