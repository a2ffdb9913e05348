#include "WifiMicroscope.h"

#include "wifi/core/http_get.h"
#include "wifi/core/mjpeg_source.h"
#include "wifi/core/trigger_poll.h"

#include "CDeviceView.h"

#include "capture/device/live_stream.h"

#include "base/text_lookup.h"
#include "base/view_host.h"

#include "platform/message_dialogs.h"
#include "platform/message_numbers.h"
#include "platform/posted_message.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QFutureWatcher>
#include <QProcess>
#include <QTimer>
#include <QtConcurrent/QtConcurrentRun>

namespace capture {

using namespace wifi;

StreamDescription wifiStream()
{
    return {QStringLiteral("wifi"), QStringLiteral("MICROSCOPE WIFI"), 6, QStringLiteral("WiFiProperty")};
}

CameraLook lookAtCamera(const CameraAddress& address)
{
    CameraLook look;
    const HttpReply media = httpGet(address, address.pageUrl(QString::fromLatin1(kMediaPagePath)));
    if (!media.ok) {
        look.why = media.error;
        return look;
    }
    std::optional<MediaPage> page = parseMediaPage(media.body, &look.why);
    if (!page)
        return look;
    look.media = std::move(*page);
    // The controls are a nicety: a camera without the page still streams.
    const HttpReply wizard = httpGet(address, address.pageUrl(QString::fromLatin1(kWizardPagePath)));
    if (wizard.ok) {
        if (std::optional<WizardPage> controls = parseWizardPage(wizard.body))
            look.wizard = std::move(*controls);
    }
    look.ok = true;
    return look;
}

WifiMicroscope::WifiMicroscope(base::ViewHost& host, CameraAddress address, QObject* parent)
    : QObject(parent),
      m_host(host),
      m_address(std::move(address)),
      m_look(new QFutureWatcher<CameraLook>(this)),
      m_reopen(new QTimer(this))
{
    connect(m_look, &QFutureWatcher<CameraLook>::finished, this, [this] { looked(m_look->result()); });
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
    m_look->waitForFinished();
}

CDeviceView* WifiMicroscope::view() const
{
    return m_view.data();
}

bool WifiMicroscope::isLooking() const
{
    return m_look->isRunning();
}

void WifiMicroscope::connectCamera()
{
    if (m_view) {
        m_host.bringToFront(m_view.data());
        platform::postMessage(m_view.data(), platform::msg::WifiStreamControl, 0);
        return;
    }
    if (isLooking())
        return;
    m_host.showStatusMessage(base::uiText("LookingForWiFi", "Looking for the WiFi microscope at %1 ...").arg(m_address.host));
    m_look->setFuture(QtConcurrent::run([address = m_address] { return lookAtCamera(address); }));
}

void WifiMicroscope::looked(const CameraLook& look)
{
    m_host.showStatusMessage(QString());
    if (!look.ok || m_view) {
        if (!look.ok)
            platform::messageDialogs().inform(
                base::uiText("ConnectWiFiTip", "Please Connect WiFi Microscope", base::kMessageCapacity));
        Q_EMIT lookFinished(look.ok);
        return;
    }
    if (look.media.cameraModel != 0)
        m_host.writeCameraModel(static_cast<quint32>(look.media.cameraModel));
    auto source = std::make_unique<MjpegStreamSource>(m_address, look.media.streamSize, look.wizard.controls);
    source->setModes(look.media.modes);
    // A control set while the stream is stopped is sent from this thread: keep it short.
    source->setCommandLimits({1000, 2000, 1 << 20});
    auto* view = new CDeviceView(wifiStream(), std::move(source), m_host);
    m_view = view;
    view->setCameraChoices(
        [view] {
            return std::vector<CameraChoice>{{view->windowTitle(), QString(), true}};
        },
        [](const QString&) { return true; });
    connect(view, &QObject::destroyed, this, [this] {
        stopTriggerPoll();
        m_reopen->stop();
    });
    m_reopen->start();
    Q_EMIT windowMade(view);
    Q_EMIT lookFinished(true);
}

void WifiMicroscope::toggleTriggerPoll()
{
    if (triggerPolling()) {
        stopTriggerPoll();
        return;
    }
    if (!m_poll) {
        // Each press comes from the poll's thread; the window takes the picture on this one.
        m_poll = std::make_unique<TriggerPoll>(
            [this] { QMetaObject::invokeMethod(this, "triggerPressed", Qt::QueuedConnection); });
    }
    m_poll->start(m_address);
}

void WifiMicroscope::triggerPressed()
{
    if (m_view)
        m_view->snapshotRequest();
}

bool WifiMicroscope::triggerPolling() const
{
    return m_poll && m_poll->running();
}

void WifiMicroscope::stopTriggerPoll()
{
    if (m_poll)
        m_poll->stop();
}

void WifiMicroscope::startSnapshotProgram()
{
    stopTriggerPoll();
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

}  // namespace capture
