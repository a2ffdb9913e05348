#pragma once

#include <QColor>
#include <QSize>
#include <QString>
#include <QStringList>

#include <array>

namespace measure {

// The units a measurement can be shown in, in the order the lists offer them.
inline const std::array<const char*, 6> kUnits{"nm", "um", "mm", "cm", "mil", "inch"};

// The length of the reference in each unit; the scale pixels of a profile
// were computed against it, so swapping the scale length for another unit's
// converts every result without touching the scale pixels.
double unitScaleLength(const QString& unit);

// The measurement state of the whole program: calibration and how numbers
// and shapes are drawn. Every view reads it at each repaint.
struct MeasureState {
    double scaleLength = 10.0;  // the reference in the active unit
    double scalePixels = 60.0;  // the same reference in picture pixels
    QString unit = QStringLiteral("mm");
    int decimals = 3;
    int fontSize = 16;
    int lineWidth = 1;
    QColor colour = Qt::red;     // not stored: red at every start
    QString calibrationName;     // empty: no profile active
    double knownLinePixels = 0;  // the last reference line drawn on a live picture
    QSize knownLineSize;         // the size of the picture it was drawn on
    QSize calibrationSize;       // the picture size the active profile was made at; empty: not known
    QStringList profiles;        // the calibration menu's profile files

    // v pixels in the active unit, and an area of v square pixels.
    double toUnits(double pixels) const { return pixels * scaleLength / scalePixels; }
    double toSquareUnits(double squarePixels) const;
    // A number as every label prints it: `decimals` digits after the point.
    QString format(double value) const;
    bool isCalibrated() const { return !calibrationName.isEmpty(); }
    // Makes `unit` active, converting all results to it.
    void setUnit(const QString& newUnit);
};

// The calibration-required test of every measuring tool: true when a profile
// is active, otherwise says "Please Calibrate first" and answers false.
bool requireCalibration(const MeasureState& state);

// The label sample the settings preview shows for a number of decimals.
QString decimalsSample(int decimals);

}  // namespace measure
