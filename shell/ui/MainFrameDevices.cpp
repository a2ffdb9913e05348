// The main window and its microscopes: the slot buttons, the live windows,
// cameras plugged in and pulled out, the session unlocked, and what the live
// windows ask of the main window.
#include "CMainFrame.h"

#include "CDevicesDlg.h"
#include "CPanes.h"
#include "CScoparaApp.h"
#include "CommandRouter.h"

#include "shell/core/command_ids.h"
#include "shell/core/registry_settings.h"
#include "shell/core/text_lookup.h"

#include "capture/device/capture_backend.h"
#include "capture/device/capture_device.h"
#include "capture/device/slot_frame.h"
#include "capture/ui/CDeviceView.h"
#include "picture/ui/CScoparaView.h"

#include "platform/message_dialogs.h"
#include "platform/posted_message.h"
#include "platform/session_watcher.h"

#include <QDockWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QStatusBar>
#include <QTimer>


namespace shell {

namespace {

// A camera's path without its device node: the same microscope keeps it
// when it comes back on another /dev/video number.
QString identityOf(const QString& devicePath)
{
    const qsizetype cut = devicePath.lastIndexOf(QLatin1Char('#'));
    return cut > 0 ? devicePath.left(cut) : devicePath;
}

}  // namespace

void CMainFrame::createDeviceWatching()
{
    for (int slot = 1; slot <= 5; ++slot) {
        CDocTemplate* kind = m_app.docTemplates().find(static_cast<DocKind>(static_cast<int>(DocKind::UsbSlot1) + slot - 1));
        if (kind) {
            kind->setViewFactory([this, slot](const QString&) -> QWidget* {
                return new capture::CDeviceView(slot, m_app.devices()[static_cast<size_t>(slot - 1)], *this);
            });
        }
    }
    connect(m_devicePane->devicesDlg(), &CDevicesDlg::slotChosen, this, &CMainFrame::slotButtonClicked);
    connect(m_mdiArea, &QMdiArea::subWindowActivated, this, [](QMdiSubWindow* w) {
        if (auto* view = w ? qobject_cast<capture::CDeviceView*>(w->widget()) : nullptr)
            view->activated();
        if (auto* view = w ? qobject_cast<picture::CScoparaView*>(w->widget()) : nullptr)
            view->activated();
    });
    m_deviceTimer = new QTimer(this);
    m_deviceTimer->setObjectName(QStringLiteral("1173"));
    m_deviceTimer->setSingleShot(true);
    m_deviceTimer->setInterval(1000);
    connect(m_deviceTimer, &QTimer::timeout, this, &CMainFrame::checkDevices);
    m_deviceWatcher = capture::captureBackend().watch();
    connect(m_deviceWatcher.get(), &capture::DeviceWatcher::changed, this, &CMainFrame::deviceEvent);
    m_sessionWatcher = new platform::SessionUnlockWatcher(this);
    connect(m_sessionWatcher, &platform::SessionUnlockWatcher::unlocked, this, &CMainFrame::sessionUnlocked);
    m_router->handleInFrame(cmd::ConnectWifi, [this] { connectWifi(); });
}

void CMainFrame::slotButtonClicked(int slot)
{
    m_wifiMode = false;
    if (QMdiSubWindow* w = findWindow(QStringLiteral("MICROSCOPE %1").arg(slot))) {
        bringToFront(w->widget());
        return;
    }
    openUsbSlot(slot);
}

capture::CDeviceView* CMainFrame::openUsbSlot(int slot)
{
    if (slot < 1 || slot > 5)
        return nullptr;
    const CDocTemplate* kind = m_app.docTemplates().find(static_cast<DocKind>(static_cast<int>(DocKind::UsbSlot1) + slot - 1));
    auto* view = kind ? qobject_cast<capture::CDeviceView*>(kind->createView(QString())) : nullptr;
    if (!view)
        return nullptr;
    QMdiSubWindow* frame = m_mdiArea->addSubWindow(view);
    frame->setAttribute(Qt::WA_DeleteOnClose);
    frame->setObjectName(QStringLiteral("CChildFrame"));
    frame->setWindowTitle(view->windowTitle());
    // The child frame's size: the client area less both panes and 15 pixels
    // across, less the status bar and 60 pixels down; each new window a little
    // below and right of the one before, never beyond the area they live in.
    const int step = static_cast<int>((m_mdiArea->subWindowList().size() - 1) % 8) * 24;
    const QSize client = fullScreenArea() + QSize(30 - 15, 100 - 60);
    const QSize room = m_mdiArea->viewport()->size() - QSize(step, step);
    frame->resize(std::clamp(client.width(), 200, std::max(200, room.width())), std::clamp(client.height(), 150, std::max(150, room.height())));
    frame->move(step, step);
    frame->show();
    m_mdiArea->setActiveSubWindow(frame);
    view->activated();
    return view;
}

QMdiSubWindow* CMainFrame::findWindow(const QString& title) const
{
    for (QMdiSubWindow* w : m_mdiArea->subWindowList()) {
        if (w->windowTitle() == title && !w->testAttribute(Qt::WA_WState_Hidden))
            return w;
    }
    return nullptr;
}

QList<capture::CDeviceView*> CMainFrame::liveViews() const
{
    QList<capture::CDeviceView*> views;
    for (QMdiSubWindow* w : m_mdiArea->subWindowList()) {
        if (auto* view = qobject_cast<capture::CDeviceView*>(w->widget()))
            views.append(view);
    }
    return views;
}

void CMainFrame::deviceEvent(bool)
{
    for (capture::CDeviceView* view : liveViews())
        view->device().slotFrame().frameArrived.store(0);
    m_deviceTimer->start();  // restarts: one check a second after the last event
}

// Each open window keeps its own microscope: one whose camera left shows
// "No Device" (its recording finished), one whose camera is back streams
// again. The slot buttons follow the cameras present.
void CMainFrame::checkDevices()
{
    m_deviceTimer->stop();
    const std::vector<capture::FoundDevice> found = capture::captureBackend().enumerate();
    m_app.enumerateMicroscopes(false);
    for (capture::CDeviceView* view : liveViews()) {
        const capture::FoundDevice* match = nullptr;
        for (const capture::FoundDevice& f : found) {
            if (f.devicePath == view->devicePath())
                match = &f;
        }
        for (const capture::FoundDevice& f : found) {
            if (!match && identityOf(f.devicePath) == identityOf(view->devicePath()))
                match = &f;
        }
        if (!match) {
            if (view->isConnected() || view->isRecording())
                view->deviceLeft();
        } else if (!view->isConnected() || match->devicePath != view->devicePath()) {
            capture::VideoDeviceEntry entry;
            entry.devicePath = match->devicePath;
            entry.friendlyName = match->friendlyName;
            entry.modelIndex = capture::modelIndexOf(match->devicePath);
            entry.present = true;
            view->finishRecordingNow();
            view->deviceReturned(entry);
        }
    }
}

void CMainFrame::sessionUnlocked()
{
    for (int slot = 1; slot <= 5; ++slot) {
        QMdiSubWindow* w = findWindow(QStringLiteral("MICROSCOPE %1").arg(slot));
        auto* view = w ? qobject_cast<capture::CDeviceView*>(w->widget()) : nullptr;
        if (!view || !view->device().slotFrame().frameArrived.exchange(0))
            continue;
        // The camera is let go now, before the new window opens it.
        view->finishRecordingNow();
        view->device().Close();
        w->close();
        platform::postMessage(this, platform::msg::OpenUsbSlotWindow, slot);
    }
}

void CMainFrame::connectWifi()
{
    m_wifiMode = true;
    if (QMdiSubWindow* w = findWindow(QStringLiteral("MICROSCOPE WIFI"))) {
        bringToFront(w->widget());
        platform::postMessage(w->widget(), platform::msg::WifiStreamControl);
        return;
    }
    // No WiFi microscope answers on this system.
    platform::messageDialogs().inform(uiText("ConnectWiFiTip", "Please Connect WiFi Microscope", kMessageCapacity));
}

}  // namespace shell
