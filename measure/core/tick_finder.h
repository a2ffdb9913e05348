#pragma once

#include <QLineF>
#include <QPointF>

#include <cstdint>
#include <vector>

namespace measure {

// 8-bit picture rows, top row first: 1 byte a pixel (grey) or 3 (BGR).
struct PixelRows {
    const uint8_t* data = nullptr;
    int width = 0;
    int height = 0;
    int stride = 0;  // bytes from one row to the next
    int channels = 3;
};

// The ruled scale of a stage micrometer as seen along a reference line.
struct TickScale {
    bool found = false;
    int divisions = 0;           // whole divisions between the first and last tick found
    double lengthPixels = 0;     // their length, across the ticks (not along the line)
    double period = 0;           // one division across the ticks, in pixels
    double tilt = 0;             // tangent of the angle between the ticks and the line's normal
    std::vector<QPointF> ticks;  // where the line crosses each tick found, picture pixels
    QPointF tickDirection;       // unit vector along the ticks, for drawing them
    double quality = 0;          // 0..1: how cleanly periodic the ticks are
};

// The fewest ticks a scale is proposed on.
constexpr int kMinimumTicks = 5;

// Samples the picture in a band a few pixels wide along `line`, finds the
// period of the ticks it crosses (the smallest spacing, whatever longer
// ticks every 5 or 10 add), places each tick and fits their spacing by least
// squares over tick number and position. Nothing is found on pictures whose
// band holds no periodic pattern.
TickScale findTicks(const PixelRows& picture, QLineF line);

}  // namespace measure
