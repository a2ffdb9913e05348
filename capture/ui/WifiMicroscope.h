#pragma once

#include "wifi/core/camera_address.h"
#include "wifi/core/camera_pages.h"

#include <QObject>
#include <QPointer>

#include <memory>

template <typename T>
class QFutureWatcher;
class QTimer;

namespace base {
class ViewHost;
}

namespace wifi {
class TriggerPoll;
}

namespace capture {

class CDeviceView;
struct StreamDescription;

// The WiFi microscope's live window: "MICROSCOPE WIFI", settings of slot 6.
StreamDescription wifiStream();

// What a look at the camera found: its modes and current size (the media
// page) and its picture controls (the wizard page). Blocking: for a worker.
struct CameraLook {
    bool ok = false;
    QString why;
    wifi::MediaPage media;
    wifi::WizardPage wizard;
};
CameraLook lookAtCamera(const wifi::CameraAddress& address);

// The WiFi microscope of the main window: looking for it (never on the GUI
// thread), its one live window, and the two ways its still button reaches
// the window (polling the camera, or the snapshot program beside ours).
class WifiMicroscope : public QObject {
    Q_OBJECT
public:
    WifiMicroscope(base::ViewHost& host, wifi::CameraAddress address, QObject* parent = nullptr);
    ~WifiMicroscope() override;

    const wifi::CameraAddress& address() const { return m_address; }
    // For the next look and window.
    void setAddress(const wifi::CameraAddress& address) { m_address = address; }
    CDeviceView* view() const;

    // "Connect WiFi Microscope": the window comes to the front and its stream
    // starts again; without a window the camera is looked for and, when it
    // answers, a window is made (`windowMade`), else the user is told.
    void connectCamera();
    bool isLooking() const;

    // Snapshot mode one: the camera's still button is polled and each press
    // takes a picture in the window.
    void toggleTriggerPoll();
    bool triggerPolling() const;
    // Snapshot mode two: the snapshot program beside ours is started; the
    // stream starts again once it runs.
    void startSnapshotProgram();

Q_SIGNALS:
    // A new window, not yet shown: the main window places it.
    void windowMade(CDeviceView* view);
    // A look ended, whatever it found (for tests).
    void lookFinished(bool found);

private Q_SLOTS:
    void triggerPressed();

private:
    void looked(const CameraLook& look);
    void stopTriggerPoll();

    base::ViewHost& m_host;
    wifi::CameraAddress m_address;
    QPointer<CDeviceView> m_view;
    QFutureWatcher<CameraLook>* m_look;
    std::unique_ptr<wifi::TriggerPoll> m_poll;
    QTimer* m_reopen;
};

}  // namespace capture
