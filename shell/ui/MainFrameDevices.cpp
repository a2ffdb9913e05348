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

#include "capture/ui/CDeviceView.h"
#include "capture/ui/LiveWindows.h"
#include "capture/ui/WifiMicroscope.h"
#include "picture/ui/CScoparaView.h"

#include "platform/message_dialogs.h"
#include "platform/message_numbers.h"
#include "platform/posted_message.h"
#include "platform/session_watcher.h"
#include "platform/window_messages.h"

#include <QDockWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QStatusBar>
#include <QTimer>

namespace shell {

void CMainFrame::createDeviceWatching()
{
    m_liveWindows = new capture::LiveWindows(m_app.cameras(), *this, this);
    connect(m_liveWindows, &capture::LiveWindows::slotsFound, this, [this](int connected, unsigned present) {
        platform::postMessage(m_devicePane->devicesDlg(), platform::msg::ShowConnectedSlots, connected, present);
    });
    connect(m_liveWindows, &capture::LiveWindows::reopenRequested, this, [this](QWidget* view, int slot) {
        if (auto* frame = qobject_cast<QMdiSubWindow*>(view->parentWidget()))
            frame->close();
        platform::postMessage(this, platform::msg::OpenUsbSlotWindow, slot);
    });
    for (int slot = 1; slot <= 5; ++slot) {
        CDocTemplate* kind = m_app.docTemplates().find(static_cast<DocKind>(static_cast<int>(DocKind::UsbSlot1) + slot - 1));
        if (kind)
            kind->setViewFactory([this, slot](const QString&) -> QWidget* { return m_liveWindows->create(slot); });
    }
    connect(m_devicePane->devicesDlg(), &CDevicesDlg::slotChosen, this, &CMainFrame::slotButtonClicked);
    connect(m_mdiArea, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* w) {
        if (w)
            viewActivated(w->widget());
        else
            forgetActivation();  // the last window closed
    });
    m_liveWindows->watch();
    m_sessionWatcher = new platform::SessionUnlockWatcher(this);
    connect(m_sessionWatcher, &platform::SessionUnlockWatcher::unlocked, m_liveWindows, &capture::LiveWindows::sessionUnlocked);
    m_router->handleInFrame(base::cmd::ConnectWifi, [this] { connectWifi(); });

    if (m_app.wifiCamera())
        m_app.wifiCamera()->useSettings(m_app.settings().paths.settingsFolder());
    m_wifi = new capture::WifiMicroscope(*this, m_app.wifiCamera(), this);
    connect(m_wifi, &capture::WifiMicroscope::windowMade, this, [this](capture::CDeviceView* view) { showChildFrame(view); });
    m_router->handleInFrame(
        base::cmd::WifiSnapshotOne, [this] { m_wifi->toggleTriggerPoll(); },
        [this](base::CommandState& s) {
            s.enabled = m_wifi->view() != nullptr;
            s.checkable = true;
            s.checked = m_wifi->triggerPolling();
        });
    m_router->handleInFrame(
        base::cmd::WifiSnapshotTwo, [this] { m_wifi->startSnapshotProgram(); },
        [this](base::CommandState& s) {
            s.enabled = m_wifi->view() != nullptr;
            s.checkable = true;
            s.checked = s.enabled && m_wifi->snapshotProgramRunning();
        });
    // The snapshot program finds this window by its title and asks it for
    // WiFi stills.
    m_messageWindow = new platform::MessageWindow(
        windowTitle(),
        [this](int message, qint64, qint64) -> qint64 {
            if (message == platform::msg::SnapshotPictureWanted)
                return m_wifi->snapshotProgramWantsPicture() ? 1 : 0;
            return 0;
        },
        this);
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
    return m_liveWindows->views();
}

void CMainFrame::connectWifi()
{
    m_wifiMode = true;
    m_wifi->connectCamera();
}

}  // namespace shell
