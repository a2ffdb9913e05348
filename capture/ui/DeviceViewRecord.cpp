// Recording a clip from a live window: the start through the recording
// dialog, the one-second clock that ends it, the stop by hand and the stop
// when the clip cannot be written further.
#include "CDeviceView.h"

#include "CFileSizeDlg.h"
#include "shell/core/view_host.h"

#include "capture/device/capture_device.h"

#include "shell/core/app_settings.h"
#include "shell/core/text_lookup.h"

#include "platform/message_dialogs.h"
#include "platform/sound_player.h"

#include <QTimer>

namespace capture {

void CDeviceView::record()
{
    const shell::AppSettings& s = m_host.settings();
    if (!m_connected) {
        platform::messageDialogs().inform(shell::uiText("ConnectTip", "Please Connect Device...", shell::kMessageCapacity));
        return;
    }
    if (m_device->isRecording()) {
        platform::soundPlayer().play(s.paths.stopRecordSound);
        m_pacingTimer->stop();
        m_clock.stopByHand();
        setStatusText(QString());
        return;
    }
    if (m_clock.active())
        return;  // the last clip is still being finished
    CFileSizeDlg dialog(slot(), *this, m_host, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const QString path = m_device->StartClip(s.paths.currentVideoFolder(), s.toggles.imagePrefixSelected,
                                             s.registry.g_szCompessName == 1);
    m_clipPath = path;
    if (path.isEmpty())
        return;
    platform::soundPlayer().play(s.paths.startRecordSound);
    // The clip's first frame becomes its thumbnail.
    m_device->requestStill(stillRequest(StillRequest::ClipThumbnail));
    m_clock.start(dialog.recordTime());
    m_secondTimer->start();
    m_pacingTimer->start();
    setStatusText(shell::uiText("Recording", "Recording......"));
}

// While a clip is being written it has the camera: no stills, and no new
// frame size (the clip keeps the size it began with and would take no
// frame of another).
bool CDeviceView::refusedWhileRecording()
{
    if (!m_device->isRecording())
        return false;
    platform::messageDialogs().inform(
        shell::uiText("CaptureTip", "Please stop record video and then capture", shell::kMessageCapacity));
    return true;
}

void CDeviceView::setStatusText(const QString& text)
{
    m_statusText = text;
    m_host.setPaneText(0, QString());
    pushSettings();
}

void CDeviceView::pacingTick()
{
    m_device->pacer().tick();
}

void CDeviceView::recordingTick()
{
    switch (m_clock.tick()) {
    case RecordingClock::Tick::ShowElapsed:
        m_host.setPaneText(0, m_clock.elapsedText(shell::uiText("Seconds", "Seconds")));
        break;
    case RecordingClock::Tick::StopWriting:
        m_device->stopWriting();
        setStatusText(QString());
        break;
    case RecordingClock::Tick::Waiting: break;
    case RecordingClock::Tick::Close:
        m_pacingTimer->stop();
        m_secondTimer->stop();
        platform::soundPlayer().play(m_host.settings().paths.stopRecordSound);
        m_device->StopClip();
        break;
    }
}

void CDeviceView::finishRecordingNow()
{
    if (!m_clock.active())
        return;
    m_pacingTimer->stop();
    m_secondTimer->stop();
    m_device->StopClip();
    m_clock = RecordingClock();
    setStatusText(QString());
}

void CDeviceView::clipFailed(const QString& path, const QString& reason)
{
    finishRecordingNow();
    platform::messageDialogs().inform(shell::clipStoppedText(path, reason));
}

}  // namespace capture
