#pragma once

#include "export_rows.h"

#include <QString>

namespace measure {

// The workbook of one picture's or one slot's measurements: a sheet
// "Sheet1" with the header, one row per measurement (values as number
// cells that show the text of `workbookCell`), one empty row, then the
// picture at scale 1 in column 0. Replaces `path`; an empty answer
// when it was written, else why not. A picture that cannot be read leaves
// the rows without it.
// The scale the values were computed with, as the workbook names it beside
// its header: "Scale: 6.0000 pixels per mm (10x, 640 x 480)".
QString scaleDescription(const MeasureState& settings);

// The header row also names the scale, two columns right of the values.
QString writeMeasurementWorkbook(const QString& path, const std::vector<ExportMeasurement>& measurements,
                                 const MeasureState& settings, const QString& picturePath);

// "<save root>/tmpExcel.xls" and "<save root>/tmpPic.bmp".
QString workbookPath(const QString& saveRoot);
QString workbookPicturePath(const QString& saveRoot);

}  // namespace measure
