#pragma once

#include "measure/core/export_rows.h"

#include <QString>

namespace measure {

// Writes `<save root>/tmpExcel.xls` with the measurements and the picture
// below them, and opens it with the desktop's spreadsheet program; when it
// cannot be written the user is told the path and the reason. True when
// written.
bool writeAndOpenWorkbook(const QString& saveRoot, const std::vector<ExportMeasurement>& measurements,
                          const MeasureState& settings, const QString& picturePath);

}  // namespace measure
