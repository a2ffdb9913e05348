#pragma once

#include "measure/core/export_rows.h"

#include <QSize>

namespace measure {

// What the export dialog lists and acts on: a picture's shapes or a live
// slot's records. The window that owns them implements it.
class ExportSource {
public:
    virtual ~ExportSource() = default;
    // The measurements as they are now (read again on every page change).
    virtual std::vector<ExportMeasurement> measurements() const = 0;
    virtual bool isShown(int source) const = 0;
    // Shows or hides one measurement (by ExportMeasurement::source).
    virtual void toggleShown(int source) = 0;
    // One label line on every measurement: 2 name ... 9 unit.
    virtual void toggleLabel(int selector) = 0;
    virtual void deleteAll() = 0;
    // Writes the workbook with these picture options.
    virtual void exportWorkbook(int sizeOption, bool imprint, int dpi) = 0;
    virtual QSize pictureSize() const = 0;
    // Whether the picture options imprint the measurements now.
    virtual bool imprint() const = 0;
};

}  // namespace measure
