#pragma once

#include "CDeviceDoc.h"

#include "capture/core/recording_clock.h"
#include "capture/core/still_request.h"

#include "measure/core/tick_finder.h"
#include "measure/core/video_shape.h"
#include "measure/ui/MeasureCommands.h"
#include "measure/ui/OverlayCommands.h"
#include "measure/ui/ZoomedImageView.h"

#include "base/command_target.h"

#include <QLineF>
#include <QPointer>

#include <functional>
#include <memory>
#include <optional>

class QTimer;

namespace measure {
class CCalibrationDlg;
class ShapeHost;
}  // namespace measure

namespace base {
class ViewHost;
}

namespace capture {

class CaptureSource;
class CTimerDlg;
class SeriesClock;
class LiveStream;
struct StillAnswer;
struct StreamDescription;

// A microscope a live window can be switched to, as the property dialog lists them.
struct CameraChoice {
    QString name;
    QString devicePath;
    bool current = false;  // the one the window shows
};

// A live window: the picture of one camera's stream, whatever its source. It
// streams the source it is made with, shows the composed live picture, takes
// still pictures, records clips and passes clicks to the measuring line.
// Every camera is this one class with its stream's description.
class CDeviceView : public measure::ZoomedImageView, public base::CommandTarget, public measure::MeasuringWindow {
    Q_OBJECT
public:
    // `source` may be null: the window then says "No Device" until one comes.
    CDeviceView(const StreamDescription& description, std::unique_ptr<CaptureSource> source, base::ViewHost& host,
                QWidget* parent = nullptr);
    ~CDeviceView() override;

    CDeviceDoc& document() const { return *m_doc; }
    const measure::OverlayParams& overlay() const { return m_overlays.overlay(); }
    LiveStream& stream() const { return *m_device; }
    bool isConnected() const { return m_connected; }
    // "No Device" when the microscope could not be reached, else empty.
    QString deviceCaption() const { return m_caption; }
    QSize frameSize() const { return m_frameSize; }
    bool isRecording() const { return m_clock.active(); }
    const RecordingClock& recordingClock() const { return m_clock; }
    QString clipPath() const { return m_clipPath; }
    QString lastSavedPicture() const { return m_lastSaved; }
    const measure::VideoShapeList& measurements() const { return *m_shapes; }
    base::ViewHost& host() const { return m_host; }
    // Changes the live measurements (each record with its index), or with
    // `clear` removes them all; the picture shows the change at once.
    void editMeasurements(const std::function<void(size_t, measure::CVideoShap&)>& edit, bool clear = false);
    // Deletes the record at `index` of the slot's measurement list.
    void deleteMeasurement(size_t index);

    // The requests of the toolbar, the keys, the timed capture and the
    // microscope's still button.
    void snapshotRequest();
    // Frames are coming, so a still asked for now is taken now: the camera
    // is connected and not being reached again.
    bool canTakeStill() const;
    // A still of this purpose as taken unless asked otherwise: full size,
    // burnt in, the stored DPI, and its path (a snapshot's in the stored
    // format).
    StillRequest stillRequest(StillRequest::Purpose purpose) const;
    // The workbook of the live measurements: its picture is taken first and
    // the workbook follows when that is saved. Nothing without measurements,
    // a camera, or while recording.
    void writeWorkbook(const StillRequest& request);
    void record();
    // Stops a recording at once and finishes its clip (the microscope left).
    void finishRecordingNow();
    // The clip could not be written further (a full disk): the recording
    // stops and the user is told which clip, and why.
    void clipFailed(const QString& path, const QString& reason);

    // The camera left, or came back with a new source: the window shows
    // "No Device" until it returns, then streams again.
    void sourceGone();
    bool sourceBack(std::unique_ptr<CaptureSource> source);
    // Asks the camera for another frame size (the resolution menu and the
    // recording dialog); the calibration scale goes back to its default.
    void changeResolution(QSize size);
    // The microscopes the window can show, and switching to one of them
    // (false, with the reason told, when it cannot). Whoever makes the window
    // and knows the cameras provides them; without them only the current
    // camera is listed.
    void setCameraChoices(std::function<std::vector<CameraChoice>()> list, std::function<bool(const QString&)> choose);
    std::vector<CameraChoice> cameraChoices() const;
    // The name of the camera shown, as the device list gives it (the
    // window's title when it lists none), for the pictures it takes.
    QString cameraName() const;
    bool switchCamera(const QString& devicePath);
    // Opens the camera property dialog, unless live measurements would lose their scale.
    void openVideoSettings();
    // Opens a new timed-capture dialog in place of the one open (running by
    // the machine's clocks unless a test gives its own).
    void openTimer(std::shared_ptr<SeriesClock> clock = {});
    CTimerDlg* timerDialog() const;
    // F2, F3 or F4: to the top, then snapshot or record.
    void hotKey(int key);
    // The window became the active one.
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

    // The view's own timers, for tests that step them.
    void recordingTick();
    void pacingTick();

protected:
    void paintEvent(QPaintEvent* event) override;
    void imageZoomChanged() override;
    void imageScrolled() override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void customEvent(QEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    // The square under the mouse to the magnifier, again with every frame while the mouse rests.
    void feedMagnifier(QPoint windowPos);
    bool connectSource(std::unique_ptr<CaptureSource> source);
    // The profile chosen last goes onto the camera again: cameras forget
    // their settings whenever they are unplugged.
    void applyDefaultProfile();
    void initialUpdate();
    // The zoom, the tool or what the picture shows changed (the hint says which).
    void documentUpdated(int hint);
    void layOut();
    // Tells the stream whether anybody can see the window; a window not yet
    // placed on screen counts as seen.
    void updateShown();
    void watchReconnect();
    void pushSettings();
    void savePicture(const StillAnswer& answer);
    // Says the recording tip while a clip is being written, and then true.
    bool refusedWhileRecording();
    // The Resolution menu: item k's label and size (no label: no item there).
    std::vector<std::pair<QString, QSize>> resolutionMenu() const;
    void setResolution(int index);
    void setStatusText(const QString& text);
    void toggleUsbSnapshot();
    // The measuring tool follows the document's tool code.
    void followTool();
    // At the reference line's second click the calibration dialog gets it.
    void takeReferenceLine();
    // The latest frame as the window shows it (mirrored, flipped, coloured),
    // at the frame's size: what the reference line is drawn on.
    QImage shownFrame() const;
    void replaceMeasurements(size_t count, qsizetype skip = -1, std::unique_ptr<measure::CVideoShap> added = nullptr);
    QString capConfigPath() const;
    int formatChoice() const;

    std::unique_ptr<CDeviceDoc> m_doc;
    base::ViewHost& m_host;
    measure::OverlayCommands m_overlays;
    std::unique_ptr<LiveStream> m_device;
    bool m_connected = false;
    QString m_caption;
    QSize m_frameSize{640, 480};
    QString m_clipPath;
    QString m_lastSaved;
    RecordingClock m_clock;
    QTimer* m_secondTimer;
    QTimer* m_pacingTimer;
    QTimer* m_shownTimer;
    bool m_placed = false;  // shown on screen at least once
    bool m_reconnecting = false;
    bool m_tellingRefusal = false;  // the message of a refused camera command is open
    QString m_statusText;           // drawn on the live picture

    // The slot's finished measurements, shared read-only with the renderer.
    std::shared_ptr<measure::VideoShapeList> m_shapes;
    // Places the measurements with the mouse, as in a picture window.
    std::unique_ptr<measure::ShapeHost> m_tools;
    bool m_calibrating = false;
    // The calibration's reference line (frame pixels), drawn until its dialog closes.
    std::optional<QLineF> m_referenceLine;
    // The micrometer's ticks found along it, marked until the dialog closes.
    measure::TickScale m_referenceTicks;
    QPointer<measure::CCalibrationDlg> m_calibrationDlg;
    QPointer<CTimerDlg> m_timerDlg;
    // Where the mouse rests on the picture, for the magnifier's square.
    QPoint m_magnifierAt;
    std::function<std::vector<CameraChoice>()> m_cameraList;
    std::function<bool(const QString&)> m_chooseCamera;
};

}  // namespace capture
