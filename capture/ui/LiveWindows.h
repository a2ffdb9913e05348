#pragma once

#include "capture/core/device_list.h"

#include <QList>
#include <QObject>
#include <QPointer>

#include <memory>
#include <vector>

class QTimer;

namespace base {
class ViewHost;
}

namespace capture {

class CaptureBackend;
class CaptureSource;
class CDeviceView;
class DeviceWatcher;
struct CameraChoice;
struct StreamDescription;

// The description of USB slot 1 to 5's stream: "MICROSCOPE n".
StreamDescription usbSlotStream(int slot);

// The live windows of the main window and the cameras behind them: which
// microscope each USB slot stands for, the windows made for the slots, and
// cameras plugged in and pulled out. The main window asks for a window and
// places it; everything about the cameras stays here.
class LiveWindows : public QObject {
    Q_OBJECT
public:
    // `cameras`: the backend of this run, chosen by the program; not owned.
    // Without one no camera is ever found.
    LiveWindows(CaptureBackend* cameras, base::ViewHost& host, QObject* parent = nullptr);
    ~LiveWindows() override;

    // The microscope of each USB slot (slot n: entry n - 1), kept by its slot
    // while it is unplugged, and how many microscopes are connected.
    const SlotDevices& devices() const { return m_slots; }
    int connectedMicroscopes() const { return m_connected; }
    // Looks for the microscopes and binds them to the slots; says none is
    // connected (when `tellWhenNone`) and answers false when there is none.
    // Then `slotsFound` tells which slots have a microscope.
    bool enumerate(bool tellWhenNone = true);

    // A new live window for USB slot 1 to 5 streaming the slot's microscope
    // ("No Device" while it is away), not yet shown; nullptr for another slot.
    CDeviceView* create(int slot);
    // The live windows made here that still exist, in the order they were made.
    QList<CDeviceView*> views() const;
    // The device path of the camera a window streams; empty when it has none.
    QString devicePathOf(const CDeviceView* view) const;

    // The microscopes `view` can be switched to, and the switch: the window's
    // slot trades microscopes with the slot of the chosen one, refused while
    // that one is shown in another window.
    std::vector<CameraChoice> cameraChoices(const CDeviceView* view) const;
    bool switchCamera(CDeviceView* view, const QString& devicePath);

    // Watches for cameras coming and going (once).
    void watch();
    // A camera came or went: the windows are checked a second after the last event.
    void deviceEvent();
    // Each slot keeps its own microscope: a window whose microscope left
    // shows "No Device" (its recording finished), one whose microscope is
    // back, on whatever device node, streams again.
    void checkDevices();
    // After the session was unlocked, each window whose camera streamed lets
    // it go and asks to be opened anew (the camera may have been reset).
    void sessionUnlocked();

Q_SIGNALS:
    // The slots with a microscope (bit n - 1 for slot n) after a look.
    void slotsFound(int connected, unsigned presentSlots);
    // `view`'s window is to be closed and slot `slot` opened again.
    void reopenRequested(QWidget* view, int slot);

private:
    struct Window {
        QPointer<CDeviceView> view;
        int slot = 0;
        QString devicePath;  // of the camera it streams now; empty for none
    };
    std::unique_ptr<CaptureSource> openSlot(int slot, QString& devicePath);
    void forgetClosed();

    CaptureBackend* m_cameras;
    base::ViewHost& m_host;
    DeviceList m_scratch{};
    SlotDevices m_slots{};
    int m_connected = 0;
    std::vector<Window> m_windows;
    std::unique_ptr<DeviceWatcher> m_watcher;
    QTimer* m_settle = nullptr;
};

}  // namespace capture
