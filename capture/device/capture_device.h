#pragma once

#include "capture_backend.h"
#include "clip_writer.h"
#include "slot_frame.h"

#include "capture/core/clip_pacing.h"
#include "capture/core/device_list.h"
#include "capture/core/frame_ops.h"
#include "capture/core/overlay_painter.h"
#include "capture/core/resolution_table.h"
#include "capture/core/still_request.h"

#include "measure/core/measure_state.h"
#include "measure/core/video_shape.h"

#include <QImage>
#include <QPainter>
#include <QObject>
#include <QPointer>

#include <array>
#include <atomic>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace capture {

// How the live view wants its picture: set on the GUI thread, read by the
// capture thread for every frame.
struct LiveViewSettings {
    double zoomX = 1;
    double zoomY = 1;
    int scrollX = 0;
    int scrollY = 0;
    bool mirror = false;
    bool flip = false;
    bool networkFrame = false;
    int colourMode = Natural;
    OverlayParams overlay;
    QString statusText;  // at most 127 characters
    // The slot's finished live measurements and the settings they are drawn
    // with: a snapshot the view replaces whenever they change.
    std::shared_ptr<const measure::VideoShapeList> shapes;
    measure::MeasureState measure;
};

// What comes with "a still picture is due" when the view asked for it: the
// request and the frame that answers it, as the camera delivered it. (The
// microscope's still button posts the message without one.)
struct StillAnswer {
    StillRequest request;
    std::shared_ptr<const SlotFrame> frame;
};

// One USB slot's camera: opening and building it (frame sizes, camera model,
// the saved capture format, the slot's format choice), a capture thread that
// turns every frame into 24-bit rows, keeps it as the slot's latest frame,
// writes paced clip frames, and composes the display image (flips, colour
// mode, overlays, status text) into the slot's mailbox.
class CCaptureDevice : public QObject {
    Q_OBJECT
public:
    explicit CCaptureDevice(int slot, QObject* parent = nullptr);
    ~CCaptureDevice() override;

    int slot() const { return m_slot; }
    // The view that gets "a still picture is due" (1134).
    void setNotifyWindow(QObject* window) { m_notify = window; }

    bool Open(const VideoDeviceEntry& entry);
    // formatChoice: 2 MJPG, anything else YUY2. capConfigPath: the saved
    // capture format, whose size is used when the camera offers it.
    bool Build(int formatChoice, const QString& capConfigPath);
    bool Run();
    bool Stop();
    void Close();
    bool SetResolution(int32_t width, int32_t height, const QString& capConfigPath = {});
    bool SetFormat(int32_t format);
    // Builds again with the same size and format (after a snapshot-button
    // setting change), running again if it ran.
    bool Rebuild();
    // Moves the slot to another device: closes this one, opens, builds and
    // runs the other.
    bool SwitchDevice(const VideoDeviceEntry& entry, int formatChoice);

    bool isOpen() const { return m_source != nullptr; }
    bool isBuilt() const { return m_built; }
    bool isRunning() const { return m_running.load(); }
    ResolutionTable GetResolutions() const { return m_table; }
    int32_t width() const { return m_width; }
    int32_t height() const { return m_height; }
    int32_t format() const { return m_format; }
    CaptureSource* source() const { return m_source.get(); }

    // Frames compose into the mailbox at the size the view settings give;
    // this only drops what the old size left behind. Answers true.
    bool CreateSurface();
    // Graph events have no counterpart here: an unplug arrives as deviceGone.
    void DrainEvents() {}

    void setViewSettings(const LiveViewSettings& settings);
    void SetStatusText(const QString& text);

    // Whether the microscope's own still button takes pictures; applies at
    // the next Build (or Rebuild).
    void setHardwareSnapshot(bool on) { m_hardwareSnapshot = on; }
    bool stillButtonActive() const { return m_stillBranch.load(); }

    // Requests are answered in turn, one by each following frame: that frame
    // is not stored as the slot's latest but posted to the view with its
    // request as "a still picture is due" (a StillAnswer).
    void requestStill(StillRequest request = {});

    // Starts a clip in `videoFolder`; the clip's path, or empty when it
    // cannot be started.
    QString StartClip(const QString& videoFolder, const QString& prefix, bool compressed);
    void StopClip();
    // The clip takes no more frames but stays open until StopClip.
    void stopWriting() { m_recording.store(false); }
    bool isRecording() const { return m_recording.load(); }
    int clipFrames() const { return m_clip.framesWritten(); }

    // The composed picture for the view.
    FrameMailbox<QImage>& mailbox() { return m_mailbox; }

    // Runs one frame through the pipeline (the capture thread does this for
    // every frame; benchmarks call it directly).
    void processFrame(const DeviceFrame& frame) { onFrame(frame); }

    // The camera model of the last device built (process-wide), 0 before any.
    static int32_t cameraModel();
    // Where a newly derived camera model is stored (the registry's "Camera").
    static void setCameraModelSink(std::function<void(int32_t)> sink);
    // Shared by all slots: set by the recording view's 200 ms timer.
    static ClipPacer& pacer();

Q_SIGNALS:
    void frameReady();
    void deviceGone();

private:
    void captureLoop();
    void onFrame(const DeviceFrame& frame);
    void paintDecorations(QImage& out, const LiveViewSettings& s);
    bool applyFormat(int32_t width, int32_t height, int32_t format);
    void answerStill(const DeviceFrame& frame);

    int m_slot;
    QPointer<QObject> m_notify;
    std::unique_ptr<CaptureSource> m_source;
    ResolutionTable m_table{};
    bool m_built = false;
    int32_t m_width = 640, m_height = 480, m_format = FormatYUY2;

    std::thread m_thread;
    std::atomic<bool> m_running{false};
    std::atomic<bool> m_stillRequest{false};  // m_stills is not empty
    std::mutex m_stillMutex;
    std::deque<StillRequest> m_stills;
    std::atomic<bool> m_recording{false};
    bool m_hardwareSnapshot = true;
    std::atomic<bool> m_stillBranch{false};
    ClipWriter m_clip;

    std::mutex m_settingsMutex;
    LiveViewSettings m_settings;

    std::vector<uint8_t> m_rows;  // the frame being worked on (capture thread)
    std::vector<int> m_columns;   // display-to-frame pixel map (capture thread)
    // One painter kept open on each of the mailbox's images, and the status
    // text drawn once: decorating a frame allocates nothing.
    std::array<std::unique_ptr<QPainter>, 3> m_painters;
    QImage m_statusImage;
    QString m_statusImageText;
    QImage m_labelImage;
    QString m_labelImageText;
    QPen m_colouredPen{Qt::NoPen};
    QPen m_whitePen{Qt::NoPen};
    LiveViewSettings m_frameSettings;
    FrameMailbox<QImage> m_mailbox;
};

}  // namespace capture
