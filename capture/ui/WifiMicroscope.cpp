#include "WifiMicroscope.h"

#include "CDeviceView.h"

#include "capture/device/live_stream.h"

#include "base/text_lookup.h"
#include "base/view_host.h"

#include "platform/message_dialogs.h"
#include "platform/message_numbers.h"
#include "platform/posted_message.h"
#include "platform/window_messages.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>
#include <QTimer>

namespace capture {

namespace {

// The snapshot program's window, which it shows while it runs.
const QString kSnapshotTitle = QStringLiteral("SNAPSHOT");

// Asks a running snapshot program to close; true when one was running.
bool closeSnapshotProgram()
{
    return platform::sendWindowMessage(kSnapshotTitle, platform::msg::SnapshotGoAway).has_value();
}

}  // namespace

StreamDescription wifiStream()
{
    return {QStringLiteral("wifi"), QStringLiteral("MICROSCOPE WIFI"), 6, QStringLiteral("WiFiProperty")};
}

WifiMicroscope::WifiMicroscope(base::ViewHost& host, NetworkCamera* camera, QObject* parent)
    : QObject(parent), m_host(host), m_camera(camera), m_reopen(new QTimer(this))
{
    // The camera's stream often starts black or stalled right after it
    // first connects; a second opening a little later settles it.
    m_reopen->setSingleShot(true);
    m_reopen->setInterval(5000);
    connect(m_reopen, &QTimer::timeout, this, [this] {
        if (m_view)
            platform::postMessage(m_view.data(), platform::msg::WifiStreamControl, 0);
    });
}

WifiMicroscope::~WifiMicroscope()
{
    stopTriggerPoll();
    if (m_lookThread.joinable())
        m_lookThread.join();
}

CDeviceView* WifiMicroscope::view() const
{
    return m_view.data();
}

void WifiMicroscope::connectCamera()
{
    if (m_view) {
        m_host.bringToFront(m_view.data());
        platform::postMessage(m_view.data(), platform::msg::WifiStreamControl, 0);
        return;
    }
    if (m_looking)
        return;
    if (!m_camera) {
        platform::messageDialogs().inform(
            base::uiText("ConnectWiFiTip", "Please Connect WiFi Microscope", base::kMessageCapacity));
        Q_EMIT lookFinished(false);
        return;
    }
    m_looking = true;
    m_host.showStatusMessage(base::uiText("LookingForWiFi", "Looking for the WiFi microscope at %1 ...").arg(m_camera->where()));
    // The look runs on a thread of its own; its result comes back under the
    // lock and the GUI thread takes it from there.
    if (m_lookThread.joinable())
        m_lookThread.join();  // the last look, long over
    m_lookThread = std::thread([this, camera = m_camera] {
        NetworkCameraLook look = camera->look();
        {
            std::lock_guard lock(m_lookMutex);
            m_look = std::move(look);
        }
        QMetaObject::invokeMethod(this, "looked", Qt::QueuedConnection);
    });
}

void WifiMicroscope::looked()
{
    NetworkCameraLook look;
    {
        std::lock_guard lock(m_lookMutex);
        if (!m_look)
            return;
        look = std::move(*m_look);
        m_look.reset();
    }
    m_looking = false;
    if (!look.ok || !look.open) {
        // The status bar keeps where the camera was looked for and what went
        // wrong, for whoever has to set up its network.
        m_host.showStatusMessage(
            base::uiText("WiFiNotFound", "No WiFi microscope answered at %1: %2").arg(m_camera->where(), look.why));
        platform::messageDialogs().inform(
            base::uiText("ConnectWiFiTip", "Please Connect WiFi Microscope", base::kMessageCapacity));
        Q_EMIT lookFinished(false);
        return;
    }
    m_host.showStatusMessage(QString());
    if (m_view) {
        Q_EMIT lookFinished(true);
        return;
    }
    if (look.cameraModel != 0)
        m_host.writeCameraModel(static_cast<quint32>(look.cameraModel));
    auto* view = new CDeviceView(wifiStream(), look.open(), m_host);
    m_view = view;
    m_camera->forgetStillButton();
    view->setCameraChoices(
        [view] {
            return std::vector<CameraChoice>{{view->windowTitle(), QString(), true}};
        },
        [](const QString&) { return true; });
    connect(view, &QObject::destroyed, this, [this] {
        stopTriggerPoll();
        closeSnapshotProgram();
        m_reopen->stop();
    });
    m_reopen->start();
    Q_EMIT windowMade(view);
    Q_EMIT lookFinished(true);
}

void WifiMicroscope::toggleTriggerPoll()
{
    if (!m_camera)
        return;
    closeSnapshotProgram();
    if (triggerPolling()) {
        stopTriggerPoll();
        return;
    }
    // Each press comes from the camera's thread; the window takes the picture on this one.
    m_camera->watchStillButton([this] { QMetaObject::invokeMethod(this, "triggerPressed", Qt::QueuedConnection); });
}

void WifiMicroscope::triggerPressed()
{
    if (m_view)
        m_view->snapshotRequest();
}

bool WifiMicroscope::triggerPolling() const
{
    return m_camera && m_camera->watchingStillButton();
}

void WifiMicroscope::stopTriggerPoll()
{
    if (m_camera)
        m_camera->stopWatchingStillButton();
}

void WifiMicroscope::startSnapshotProgram()
{
    stopTriggerPoll();
    if (closeSnapshotProgram())
        return;
    const QString program = QCoreApplication::applicationDirPath() + QLatin1String("/snapshot");
    if (!QFileInfo(program).isExecutable()) {
        platform::messageDialogs().inform(
            base::uiText("NoSnapshotProgram", "The snapshot program is not installed beside Vellumet (%1).").arg(program));
        return;
    }
    QTimer::singleShot(2000, this, [this, program] {
        QProcess::startDetached(program, {});
        m_reopen->start();
    });
}

bool WifiMicroscope::snapshotProgramRunning() const
{
    return platform::windowExists(kSnapshotTitle);
}

bool WifiMicroscope::snapshotProgramWantsPicture()
{
    if (!m_view || !m_view->canTakeStill())
        return false;
    QMetaObject::invokeMethod(this, "triggerPressed", Qt::QueuedConnection);
    return true;
}

}  // namespace capture
