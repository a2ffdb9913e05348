#pragma once

#include "measure/core/export_rows.h"

#include "measure/core/picture_options.h"

#include <QSize>

#include <memory>
#include <vector>

namespace measure {

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
    // The workbook's picture with these options, and the workbook after it
    // (writeAndOpenWorkbook).
    virtual void exportWorkbook(const measure::PictureOptions& options) = 0;
};

// What the export dialog lists and acts on, for a picture window and a live
// window alike. The imprint tick of the last export is offered again,
// whichever window it was: `imprint` is kept by the host's settings.
class ExportSource {
public:
    ExportSource(std::unique_ptr<ExportWindow> window, bool& imprint) : m_window(std::move(window)), m_imprint(imprint) {}

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
    void exportWorkbook(const measure::PictureOptions& options)
    {
        m_imprint = options.imprint;
        m_window->exportWorkbook(options);
    }
    QSize pictureSize() const { return m_window->pictureSize(); }
    // Whether the last export imprinted the measurements.
    bool imprint() const { return m_imprint; }

private:
    std::unique_ptr<ExportWindow> m_window;
    bool& m_imprint;
};

}  // namespace measure
