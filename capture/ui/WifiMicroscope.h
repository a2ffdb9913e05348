#pragma once

#include "capture/device/network_camera.h"

#include <QObject>
#include <QPointer>

#include <mutex>
#include <optional>
#include <thread>

class QTimer;

namespace base {
class ViewHost;
}

namespace capture {

class CDeviceView;
struct StreamDescription;

// The WiFi microscope's live window: "MICROSCOPE WIFI", settings of slot 6.
StreamDescription wifiStream();

// The WiFi microscope of the main window: looking for it (never on the GUI
// thread), its one live window, and the two ways its still button reaches
// the window (the camera's own button, or the snapshot program beside ours).
class WifiMicroscope : public QObject {
    Q_OBJECT
public:
    // `camera`: the network camera the program chose; not owned. Without one
    // the camera is never found.
    WifiMicroscope(base::ViewHost& host, NetworkCamera* camera, QObject* parent = nullptr);
    ~WifiMicroscope() override;

    // For tests: another camera for the next look.
    void setCamera(NetworkCamera* camera) { m_camera = camera; }
    CDeviceView* view() const;

    // "Connect WiFi Microscope": the window comes to the front and its stream
    // starts again; without a window the camera is looked for and, when it
    // answers, a window is made (`windowMade`), else the user is told.
    void connectCamera();
    bool isLooking() const { return m_looking; }

    // Snapshot mode one: each press of the camera's still button takes a
    // picture in the window.
    void toggleTriggerPoll();
    bool triggerPolling() const;
    // Snapshot mode two: the snapshot program beside ours is started (or,
    // running, asked to close); the stream starts again once it runs.
    void startSnapshotProgram();
    bool snapshotProgramRunning() const;
    // The snapshot program's request for a still: true when a window takes it.
    bool snapshotProgramWantsPicture();

Q_SIGNALS:
    // A new window, not yet shown: the main window places it.
    void windowMade(CDeviceView* view);
    // A look ended, whatever it found (for tests).
    void lookFinished(bool found);

private Q_SLOTS:
    void looked();
    void triggerPressed();

private:
    void stopTriggerPoll();

    base::ViewHost& m_host;
    NetworkCamera* m_camera;
    QPointer<CDeviceView> m_view;
    std::thread m_lookThread;
    bool m_looking = false;
    std::mutex m_lookMutex;
    std::optional<NetworkCameraLook> m_look;  // handed from the look's thread
    QTimer* m_reopen;
};

}  // namespace capture
