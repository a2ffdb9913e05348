#pragma once

#include "measure/core/picture_options.h"
#include "picture/core/picture_document.h"
#include "picture/core/picture_metadata.h"
#include "picture/core/picture_zoom.h"
#include "picture/ui/PictureOperationRunner.h"

#include "measure/core/burn_in.h"
#include "measure/core/measure_state.h"
#include "measure/core/overlay_painter.h"
#include "measure/ui/MeasureCommands.h"
#include "measure/ui/OverlayCommands.h"
#include "measure/ui/ZoomedImageView.h"

#include "base/command_target.h"

#include <QImage>

#include <memory>
#include <optional>

namespace measure {
class ShapeHost;
}

class QPainter;

namespace base {
class ViewHost;
}

namespace picture {

// A saved picture in a window of its own: zoomed and scrolled, measured with
// the shapes, with a crosshair or a grid on top, saved again with the
// shapes burnt in.
class CScoparaView : public measure::ZoomedImageView, public base::CommandTarget, public measure::MeasuringWindow {
    Q_OBJECT
public:
    CScoparaView(std::unique_ptr<CScoparaDoc> document, base::ViewHost& host, QWidget* parent = nullptr);
    ~CScoparaView() override;

    // Opens `path`; nullptr (after saying "Error") when it cannot be read.
    static CScoparaView* open(const QString& path, base::ViewHost& host, QWidget* parent = nullptr);

    CScoparaDoc& document() const { return *m_doc; }
    base::ViewHost& host() const { return m_host; }
    measure::ShapeHost& shapeHost() const { return *m_shapes; }
    const PictureZoom& zoom() const { return m_zoom; }
    const measure::OverlayParams& overlay() const { return m_overlays.overlay(); }
    // The picture operation last chosen (1209 ... 1265), 0 for none.
    int pictureOperation() const { return m_operation; }
    bool operationRunning() const;
    // Waits for a running picture operation and takes its result in.
    void finishOperation();

    // The picture with its shapes and overlay at the window's zoom, as it
    // shows it (and prints it).
    QImage renderShown() const;

    // Saves under a new name; the window then shows that file.
    bool saveAs(const QString& path);

    // The calibration the picture was taken with: measured with it unless
    // another one is active and the user keeps that one (asked once).
    void adoptPictureScale(const std::optional<PictureMetadata>& metadata);
    bool measuresWithPictureScale() const { return m_usePictureScale; }
    measure::MeasureState& measureState() override;
    // The picture with these options as `path`; says where it went, or why
    // it did not.
    void saveExport(const measure::PictureOptions& options, const QString& path);
    // The workbook of the shapes with the picture below them, opened with
    // the desktop's spreadsheet program (the reason said when it fails).
    bool exportWorkbook(const measure::PictureOptions& options);

    // The window became the active one: "w:h" in the status bar.
    void activated();

    bool handlesCommand(int id) const override;
    void updateCommand(int id, base::CommandState& state) const override;
    void runCommand(int id) override;
    void measureSettingsChanged() override;

    measure::ZoomedImageView& measuringView() override { return *this; }
    base::ViewHost& viewHost() const override { return m_host; }
    int measuringTool() const override;
    void setMeasuringTool(int toolCode) override;
    void undoShape() override;
    void deleteAllShapes() override;
    measure::ExportSource exportSource() override;
    void newCalibration() override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void layOut();
    // The picture with these options: size factor, imprint, DPI. The reason
    // it could not be written, else empty.
    QString writeExport(const measure::PictureOptions& options, const QString& path) const;
    void save();
    bool replaceWithMeasured();
    void runOperation(int operation);
    void drawContent(QPainter& p) const;
    // The overlay as drawn at zoom (fx, fy).
    // The shapes and overlay at a scale, as shown and as burnt in.
    measure::BurnIn burnInAt(double fx, double fy) const;
    measure::OverlayParams overlayAt(double fx, double fy) const;
    void print(int command);
    void copyToMagnifier(QPoint windowPos);
    void operationDone(std::shared_ptr<CxImage> result);
    void showScaleStatus();

    std::unique_ptr<CScoparaDoc> m_doc;
    base::ViewHost& m_host;
    // The program's measurement state, with the picture's own scale when
    // it is measured with that; refreshed from the program's at each paint.
    measure::MeasureState m_measure;
    std::optional<PictureScale> m_pictureScale;
    bool m_usePictureScale = false;
    std::unique_ptr<measure::ShapeHost> m_shapes;
    PictureZoom m_zoom;
    // The overlay: mode, pitch in picture pixels and its text, the
    // crosshair's centre in picture pixels.
    measure::OverlayCommands m_overlays;
    int m_operation = 0;
    PictureOperationRunner* m_runner;
    QImage m_offscreen;  // the visible part, composed before it is shown
};

}  // namespace picture
