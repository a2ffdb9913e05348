#include "wifi_camera.h"

#include "camera_pages.h"
#include "http_get.h"
#include "mjpeg_source.h"
#include "trigger_poll.h"
#include "wifi_settings.h"

namespace wifi {

WifiCamera::WifiCamera(std::optional<CameraAddress> fixed) : m_fixed(std::move(fixed)) {}

WifiCamera::~WifiCamera()
{
    stopWatchingStillButton();
}

CameraAddress WifiCamera::address() const
{
    std::lock_guard lock(m_mutex);
    if (m_fixed)
        return *m_fixed;
    return m_settingsFolder.isEmpty() ? CameraAddress{} : readCameraAddress(m_settingsFolder);
}

QString WifiCamera::where() const
{
    return address().host;
}

void WifiCamera::useSettings(const QString& settingsFolder)
{
    std::lock_guard lock(m_mutex);
    m_settingsFolder = settingsFolder;
}

capture::NetworkCameraLook WifiCamera::look()
{
    capture::NetworkCameraLook look;
    const CameraAddress at = address();
    const HttpReply media = httpGet(at, at.pageUrl(QString::fromLatin1(kMediaPagePath)));
    if (!media.ok) {
        look.why = media.error;
        return look;
    }
    std::optional<MediaPage> page = parseMediaPage(media.body, &look.why);
    if (!page)
        return look;
    // The controls are a nicety: a camera without the page still streams.
    std::vector<capture::CameraControl> controls;
    const HttpReply wizard = httpGet(at, at.pageUrl(QString::fromLatin1(kWizardPagePath)));
    if (wizard.ok) {
        if (std::optional<WizardPage> wizardPage = parseWizardPage(wizard.body))
            controls = std::move(wizardPage->controls);
    }
    look.ok = true;
    look.cameraModel = page->cameraModel;
    look.open = [at, media = std::move(*page), controls = std::move(controls)] {
        auto source = std::make_unique<MjpegStreamSource>(at, media.streamSize, controls);
        source->setModes(media.modes);
        // A control set while the stream is stopped is sent from the GUI thread: keep it short.
        source->setCommandLimits({1000, 2000, 1 << 20});
        return std::unique_ptr<capture::CaptureSource>(std::move(source));
    };
    return look;
}

void WifiCamera::watchStillButton(std::function<void()> pressed)
{
    stopWatchingStillButton();
    // The button's state carries over from the poll before (none: never pressed).
    const int last = m_poll ? m_poll->lastSeen() : 0;
    m_poll = std::make_unique<TriggerPoll>(std::move(pressed));
    m_poll->start(address(), last);
}

void WifiCamera::forgetStillButton()
{
    stopWatchingStillButton();
    m_poll.reset();
}

void WifiCamera::stopWatchingStillButton()
{
    if (m_poll)
        m_poll->stop();
}

bool WifiCamera::watchingStillButton() const
{
    return m_poll && m_poll->running();
}

}  // namespace wifi
