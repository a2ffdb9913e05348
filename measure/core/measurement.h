#pragma once

#include "geometry.h"
#include "kind_table.h"
#include "measure_state.h"
#include "shape_drawing.h"

#include <QString>

#include <array>
#include <span>
#include <vector>

namespace measure {

// What a measurement measured, in picture pixels (areas in square pixels)
// and degrees. Worked out in one place, measureVertices(), for the shapes
// of a picture and the records of a live picture alike.
struct MeasuredValues {
    double length = 0;     // line, polyline, point to line; centre distance of circle to circle
    double radius = 0;     // radius, diameter and three points circles, arc; first circle of circle to circle
    double radius2 = 0;    // second circle of circle to circle
    double angle = 0;      // the angles; the sweep of an arc (0 to 360)
    double perimeter = 0;  // polygon
    double area = 0;       // polygon
    Point2d centre;        // circles and arc; first circle of circle to circle
    Point2d centre2;       // second circle of circle to circle
    bool exists = true;    // false for three collinear circle points or an arc without a centre
};

// The values of a measurement of `kind` through `vertices` (picture pixels).
MeasuredValues measureVertices(int kind, std::span<const Point2d> vertices);

// Value 1 to 3 as a picture's shape or a live record keeps them: the
// length, radius or angle; the polygon's area or the arc's angle; for circle
// to circle the two radii and the centre distance. A live record keeps a
// diameter circle's diameter and circle to circle's centre distance as value 1.
struct KeptValues {
    double value1 = 0;
    double value2 = 0;
    double value3 = 0;
};
KeptValues keptValues(int kind, const MeasuredValues& values, bool liveRecord);

// A measurement's values in the active unit, per column; columns the kind
// has no value for are not filled.
struct Readings {
    std::array<double, kReadingColumns> value{};
    std::array<bool, kReadingColumns> filled{};
    double at(int column) const { return value[static_cast<size_t>(column)]; }
    bool has(int column) const { return filled[static_cast<size_t>(column)]; }
};

// The readings of measured values with `unitsPerPixel` units to a pixel.
Readings readingsOf(int kind, const MeasuredValues& values, double unitsPerPixel);
inline double unitsPerPixel(const MeasureState& s)
{
    return s.scaleLength / s.scalePixels;
}

// "DL0", "AR3": the name a measurement shows.
QString measurementName(int kind, int number);

// The label rows of a finished measurement: its name and readings, each
// with its show flag, numbers with the settings' decimals and unit.
std::vector<LabelRow> labelRows(int kind, int number, const Readings& readings, const ShowFlags& show,
                                const MeasureState& settings);

// Counts the measurements of each kind as a list is walked, from 0.
class KindCounter {
public:
    // The number of the next measurement of `kind`; counts it when `counted`.
    int next(int kind, bool counted = true);

private:
    std::array<int, 14> m_counts{};
};

}  // namespace measure
