// The main window and its microscopes: the slot buttons, the live windows,
// cameras plugged in and pulled out, the session unlocked, and what the live
// windows ask of the main window.
#include "CMainFrame.h"

#include "CDevicesDlg.h"
#include "CPanes.h"
#include "CScoparaApp.h"
#include "CommandRouter.h"

#include "base/command_ids.h"
#include "base/registry_settings.h"
#include "base/text_lookup.h"

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
    connect(m_mdiArea, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* w) {
        if (w)
            viewActivated(w->widget());
        else
            forgetActivation();  // the last window closed
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
    m_router->handleInFrame(base::cmd::ConnectWifi, [this] { connectWifi(); });
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
    showChildFrame(view);
    return view;
}

// The child frame's size: the client area less both panes and 15 pixels
// across, less the status bar and 60 pixels down; each new window a little
// below and right of the one before, never beyond the area they live in.
QMdiSubWindow* CMainFrame::showChildFrame(QWidget* view)
{
    QMdiSubWindow* frame = m_mdiArea->addSubWindow(view);
    frame->setAttribute(Qt::WA_DeleteOnClose);
    frame->setObjectName(QStringLiteral("CChildFrame"));
    frame->setWindowTitle(view->windowTitle());
    const int step = static_cast<int>((m_mdiArea->subWindowList().size() - 1) % 8) * 24;
    const QSize client = fullScreenArea() + QSize(30 - 15, 100 - 60);
    const QSize room = m_mdiArea->viewport()->size() - QSize(step, step);
    frame->resize(std::clamp(client.width(), 200, std::max(200, room.width())),
                  std::clamp(client.height(), 150, std::max(150, room.height())));
    frame->move(step, step);
    frame->show();
    m_mdiArea->setActiveSubWindow(frame);
    viewActivated(view);
    return frame;
}

// A live window refills the Resolution menu and status pane 2 when it comes
// to the top after another window; a picture window shows its size there.
void CMainFrame::viewActivated(QWidget* view)
{
    if (auto* live = qobject_cast<capture::CDeviceView*>(view)) {
        live->activated();
    } else if (auto* picture = qobject_cast<picture::CScoparaView*>(view)) {
        rememberActivation(picture->windowTitle());
        picture->activated();
    }
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

// Each slot keeps its own microscope (see the application's slot list): a
// window whose microscope left shows "No Device" (its recording finished),
// one whose microscope is back, on whatever device node, streams again. The
// slot buttons follow the microscopes present.
void CMainFrame::checkDevices()
{
    m_deviceTimer->stop();
    m_app.enumerateMicroscopes(false);
    for (capture::CDeviceView* view : liveViews()) {
        const capture::VideoDeviceEntry& own = m_app.devices()[static_cast<size_t>(view->slot() - 1)];
        if (!own.present) {
            if (view->isConnected() || view->isRecording())
                view->deviceLeft();
        } else if (!view->isConnected() || own.devicePath != view->devicePath()) {
            view->finishRecordingNow();
            view->deviceReturned(own);
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
    platform::messageDialogs().inform(base::uiText("ConnectWiFiTip", "Please Connect WiFi Microscope", base::kMessageCapacity));
}

}  // namespace shell
