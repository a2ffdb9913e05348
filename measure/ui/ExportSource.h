#pragma once

#include "measure/core/export_rows.h"

#include <QSize>

#include <memory>
#include <vector>

namespace measure {

// The picture below the workbook's rows, as the export option dialog chose it.
struct ExportPictureOptions {
    int sizeOption = 1;   // 1 full size, 2 half, 3 a third
    bool imprint = true;  // the measurements and the overlay drawn in
    int dpi = 96;
};

// What belongs to the window whose measurements are exported: a picture's
// shapes or a live slot's records, and how it takes the workbook's picture.
class ExportWindow {
public:
    virtual ~ExportWindow() = default;
    // The measurements as they are now (read again on every page change).
    virtual std::vector<ExportMeasurement> measurements() const = 0;
    virtual bool isShown(int source) const = 0;
    // Shows or hides one measurement (by ExportMeasurement::source).
    virtual void toggleShown(int source) = 0;
    // One label line (2 name ... 9 unit) on the measurements that show it.
    virtual void toggleLabel(int selector) = 0;
    virtual void deleteAll() = 0;
    // Deletes one measurement (by ExportMeasurement::source).
    virtual void deleteMeasurement(int source) = 0;
    virtual QSize pictureSize() const = 0;
    // Asks the window, by message, for the picture with these options and
    // the workbook after it (writeAndOpenWorkbook).
    virtual void exportWorkbook(const ExportPictureOptions& options) = 0;
};

// What the export dialog lists and acts on, for a picture window and a live
// window alike. The picture options of the last export are offered again,
// whichever window it was.
class ExportSource {
public:
    explicit ExportSource(std::unique_ptr<ExportWindow> window) : m_window(std::move(window)) {}

    std::vector<ExportMeasurement> measurements() const { return m_window->measurements(); }
    bool isShown(int source) const { return m_window->isShown(source); }
    void toggleShown(int source) { m_window->toggleShown(source); }
    // Selectors outside 2 ... 9 change nothing.
    void toggleLabel(int selector);
    void deleteAll() { m_window->deleteAll(); }
    // Deletes these measurements (by ExportMeasurement::source), the last
    // first, so the others keep their places while it works.
    void deleteMeasurements(std::vector<int> sources);
    // Writes the workbook with these picture options.
    void exportWorkbook(int sizeOption, bool imprint, int dpi);
    QSize pictureSize() const { return m_window->pictureSize(); }
    // Whether the picture options imprint the measurements now.
    bool imprint() const;

private:
    std::unique_ptr<ExportWindow> m_window;
};

}  // namespace measure
