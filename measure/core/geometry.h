#pragma once

#include <optional>
#include <span>
#include <vector>

namespace measure {

struct Point2d {
    double x = 0;
    double y = 0;
    bool operator==(const Point2d&) const = default;
};

// A point on the top row or left column counts as not placed.
inline bool isSet(const Point2d& p)
{
    return p.x != 0 && p.y != 0;
}

double distance(const Point2d& a, const Point2d& b);

// The angle in degrees (0 to 180) between line A through a1, a2 and line B
// through b1, b2, measured at their intersection towards the end of each
// line farther from it. Parallel or both-vertical lines give 0.
double angleBetweenLines(const Point2d& a1, const Point2d& a2, const Point2d& b1, const Point2d& b2);

struct Circle {
    Point2d centre;
    double radius = 0;
};

// The circle through three points; nothing when they are (nearly) collinear.
std::optional<Circle> circleThrough(const Point2d& p1, const Point2d& p2, const Point2d& p3);

// The foot of the perpendicular from p on the line through a and b.
Point2d perpendicularFoot(const Point2d& p, const Point2d& a, const Point2d& b);

// The centre of the arc from p0 to p1 through p2: where the perpendicular
// bisectors of p0-p2 and p1-p2 meet. Nothing when they are parallel.
std::optional<Point2d> arcCentre(const Point2d& p0, const Point2d& p1, const Point2d& p2);

// The angle the arc from p0 to p1 through p2 sweeps around `centre`, in
// degrees (0 to 360).
double arcSweep(const Point2d& centre, const Point2d& p0, const Point2d& p1, const Point2d& p2);

// True when the arc is drawn counter-clockwise (on screen) from p0 to p1;
// otherwise it runs counter-clockwise from p1 to p0.
bool arcRunsFromFirstEnd(const Point2d& p0, const Point2d& p1, const Point2d& p2);

// Length of the path through the points in order; closed adds the way back.
double pathLength(std::span<const Point2d> points, bool closed);

// The area of a polygon by the shoelace formula, vertices rounded to whole pixels.
double shoelaceArea(std::span<const Point2d> points);

// The numbers of the measurements.
constexpr double kPi = 3.1415927;  // single-precision pi, as the figures were always computed
constexpr double kTwoPi = 6.2831855;
constexpr double kDegreePi = 3.1415926;

}  // namespace measure
