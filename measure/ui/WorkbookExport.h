#pragma once

#include "measure/core/export_rows.h"

#include <QString>

#include <functional>

namespace measure {

// Writes `<save root>/tmpExcel.xls` with the measurements and the picture
// below them, says where (through `statusShown`) and opens it with the
// desktop's spreadsheet program. When it cannot be written the user is told
// the path and the reason; when nothing opens it, where it was saved. True
// when written.
bool writeAndOpenWorkbook(const QString& saveRoot, const std::vector<ExportMeasurement>& measurements,
                          const MeasureState& settings, const QString& picturePath,
                          const std::function<void(const QString&)>& statusShown = {});

}  // namespace measure
