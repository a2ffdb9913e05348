#pragma once

#include "measure_state.h"
#include "measurement.h"

#include <QString>
#include <QStringList>

#include <array>
#include <memory>
#include <vector>

namespace measure {

class ShapeList;
struct CShape;

// One measurement as the export lists and the workbook show it: its name
// ("DL0", "PG1", ...), and per column its value in the active unit.
// Columns: 0 name, 1 length, 2 radius 1, 3 radius 2, 4 diameter, 5 angle,
// 6 perimeter, 7 area, 8 unit.
struct ExportMeasurement {
    int kind = 0;
    int source = 0;  // its place in the shape list it came from
    QString name;
    std::array<double, 9> value{};
    std::array<bool, 9> filled{};
    int angleDecimals = 1;  // in the workbook
};

constexpr int kExportColumns = kReadingColumns;
// Row 0 of the workbook.
QStringList exportHeader();

// The exported measurements of a picture (its shapes) or of a live slot (its
// records), in list order, numbered per kind from 0; texts are left out, and
// in a slot circle-to-circle records too.
std::vector<ExportMeasurement> pictureMeasurements(const ShapeList& shapes, const MeasureState& settings);
std::vector<ExportMeasurement> slotMeasurements(const std::vector<std::unique_ptr<CShape>>& records,
                                                const MeasureState& settings);

// A workbook cell: "%.3f" (angles "%.1f", or "%.3f" for a slot's four points
// angle), the unit in column 8, empty where the kind has no value.
QString workbookCell(const ExportMeasurement& m, int column, const MeasureState& settings);
// The decimals of a workbook cell that holds a value; -1 for the name, the
// unit and an empty cell.
int workbookDecimals(const ExportMeasurement& m, int column);
// A cell of the export dialog's lists: the decimals setting for every value.
QString listCell(const ExportMeasurement& m, int column, const MeasureState& settings);

}  // namespace measure
