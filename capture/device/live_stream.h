#pragma once

#include "capture_backend.h"
#include "clip_writer.h"
#include "latest_frame.h"

#include "capture/core/clip_pacing.h"
#include "capture/core/device_list.h"
#include "capture/core/live_renderer.h"
#include "capture/core/resolution_table.h"
#include "capture/core/still_request.h"

#include <QImage>
#include <QObject>
#include <QPointer>

#include <atomic>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace capture {

// What comes with "a still picture is due" when the view asked for it: the
// request and the frame that answers it, as the camera delivered it. (The
// microscope's still button posts the message without one.)
struct StillAnswer {
    StillRequest request;
    std::shared_ptr<const LatestFrame> frame;
};

// What a live window shows of the camera behind a stream: a name that tells
// cameras apart ("usb1", "wifi"), the window's title, and where its own
// settings sit in the per-camera settings (the format choice of slot 1 to 5,
// 6 for the WiFi camera).
struct StreamDescription {
    QString id;
    QString title;
    int settingsKey = 0;
    // The folder (and ini section) of its camera's property profiles.
    QString profileKind = QStringLiteral("USBProperty");
};

// One camera's live stream, whatever kind of source feeds it (a V4L2 device,
// a simulated microscope, an HTTP camera): building the source (frame sizes,
// camera model, the saved capture format, the format choice) and a capture
// thread that keeps every frame as the latest frame, hands paced clip frames
// to the clip's writer and has the LiveRenderer compose the display image.
// Camera controls are applied on the capture thread while it runs, so a
// source is only ever touched by one thread at a time.
class LiveStream : public QObject {
    Q_OBJECT
public:
    explicit LiveStream(StreamDescription description, QObject* parent = nullptr);
    ~LiveStream() override;

    const StreamDescription& description() const { return m_description; }
    // The view that gets "a still picture is due" (1134).
    void setNotifyWindow(QObject* window) { m_notify = window; }

    // Takes the opened source (after closing any before); false for none.
    bool Open(std::unique_ptr<CaptureSource> source);
    // formatChoice: 2 MJPG, anything else YUY2. capConfigPath: the saved
    // capture format, whose size is used when the camera offers it.
    bool Build(int formatChoice, const QString& capConfigPath);
    bool Run();
    bool Stop();
    void Close();
    bool SetResolution(int32_t width, int32_t height, const QString& capConfigPath = {});
    bool SetFormat(int32_t format);
    // Builds again with the same size and format (after a snapshot-button
    // setting change). These three run again afterwards if the stream ran.
    bool Rebuild();
    // Moves the stream to another source: closes this one, builds and runs
    // the other.
    bool SwitchDevice(std::unique_ptr<CaptureSource> source, int formatChoice);

    bool isOpen() const { return m_source != nullptr; }
    // Whether the source is reaching its camera again (a network camera that
    // stopped delivering); from the thread that owns the stream.
    bool isReconnecting() const { return m_source && m_source->reconnecting(); }
    // A camera with modes of its own (a network camera), which offers only
    // the controls it has.
    bool keepsItsMode() const { return m_source && m_source->keepsItsMode(); }
    // The Resolution menu's items the source names itself; empty for none.
    std::vector<std::pair<QString, std::pair<int32_t, int32_t>>> menuSizes() const
    {
        return m_source ? m_source->menuSizes() : decltype(menuSizes()){};
    }
    bool isBuilt() const { return m_built; }
    bool isRunning() const { return m_running.load(); }
    ResolutionTable GetResolutions() const { return m_table; }
    int32_t width() const { return m_width; }
    int32_t height() const { return m_height; }
    int32_t format() const { return m_format; }

    // The camera's picture controls as last read or set; empty when closed.
    // Like every call here, from the thread that owns the stream.
    std::vector<CameraControl> controls() const;
    // Sets a control: at once while stopped, else on the capture thread
    // before its next frame. The new value shows in controls() once it is
    // applied; a value the camera refuses leaves the old one there.
    void setControl(uint32_t id, int32_t value);

    // Frames compose into the mailbox at the size the view settings give;
    // this only drops what the old size left behind. Answers true.
    bool CreateSurface();
    // Graph events have no counterpart here: an unplug arrives as deviceGone.
    void DrainEvents() {}

    void setViewSettings(const LiveViewSettings& settings);
    // Whether anybody can see the stream's window. While nobody can, every
    // frame is still kept (stills, the timer, clips, the workbook) but none
    // is decoded or composed; once shown again the next frame shows at once.
    void setShown(bool shown) { m_shown.store(shown); }
    bool isShown() const { return m_shown.load(); }
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
    // cannot be started (with the system's reason in `why` where there is one).
    QString StartClip(const QString& videoFolder, const QString& prefix, bool compressed, QString* why = nullptr);
    void StopClip();
    // The clip takes no more frames but stays open until StopClip.
    void stopWriting() { m_recording.store(false); }
    bool isRecording() const { return m_recording.load(); }
    int clipFrames() const { return m_clip.framesWritten(); }
    // Frames left out of the clip because its writer was behind.
    int clipFramesDropped() const { return m_clip.framesDropped(); }

    // The composed picture for the view.
    FrameMailbox<QImage>& mailbox() { return m_renderer.mailbox(); }
    // The latest frame, for still pictures and the check for a silent camera.
    LatestFrame& latestFrame() { return m_latestFrame; }
    // Which frames go into the clip: ticked by the recording view.
    ClipPacer& pacer() { return m_pacer; }
    // The camera model the frame sizes of the device last built give (the
    // previous one when they name none), 0 before any.
    int32_t cameraModel() const { return m_cameraModel; }

    // Runs one frame through the pipeline (the capture thread does this for
    // every frame; benchmarks call it directly).
    void processFrame(const DeviceFrame& frame) { onFrame(frame); }

Q_SIGNALS:
    void frameReady();
    void deviceGone();
    // Writing the clip failed (a full disk): the clip is finished with the
    // frames written so far and takes no more. From the clip's thread.
    void clipFailed(const QString& path, const QString& reason);

private:
    void captureLoop();
    // Stops, builds with these, and runs again if it ran.
    bool restart(int32_t format, int32_t width, int32_t height);
    void onFrame(const DeviceFrame& frame);
    bool applyFormat(int32_t width, int32_t height, int32_t format);
    void answerStill(const DeviceFrame& frame);
    // Capture thread (or any thread while stopped): the controls asked for.
    // On the capture thread it leaves the rest for later once a stop is asked.
    void applyPendingControls(bool onCaptureThread);

    StreamDescription m_description;
    QPointer<QObject> m_notify;
    std::unique_ptr<CaptureSource> m_source;
    ResolutionTable m_table{};
    bool m_built = false;
    int32_t m_width = 640, m_height = 480, m_format = FormatYUY2;
    int32_t m_cameraModel = 0;
    bool m_inSourceMode = false;  // the next Build takes the source's own mode

    std::thread m_thread;
    std::atomic<bool> m_running{false};
    std::atomic<bool> m_stillRequest{false};  // m_stills is not empty
    std::mutex m_stillMutex;
    std::deque<StillRequest> m_stills;
    std::atomic<bool> m_recording{false};
    std::atomic<bool> m_shown{true};
    bool m_hardwareSnapshot = true;
    std::atomic<bool> m_stillBranch{false};
    ClipWriter m_clip;
    ClipPacer m_pacer;
    LatestFrame m_latestFrame;

    mutable std::mutex m_controlsMutex;
    std::vector<CameraControl> m_controls;
    std::vector<std::pair<uint32_t, int32_t>> m_pendingControls;
    std::atomic<bool> m_controlsPending{false};

    std::mutex m_settingsMutex;
    LiveViewSettings m_settings;

    // Capture thread only.
    LiveViewSettings m_frameSettings;
    LiveRenderer m_renderer;
};

}  // namespace capture
