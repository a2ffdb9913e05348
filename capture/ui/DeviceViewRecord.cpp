// Recording a clip from a live window: the start through the recording
// dialog, the one-second clock that ends it, the stop by hand and the stop
// when the clip cannot be written further.
#include "CDeviceView.h"

#include "CFileSizeDlg.h"
#include "base/view_host.h"

#include "capture/device/live_stream.h"

#include "base/app_settings.h"
#include "base/text_lookup.h"

#include "platform/message_dialogs.h"
#include "platform/sound_player.h"

#include <QTimer>

namespace capture {

void CDeviceView::record()
{
    const base::AppSettings& s = m_host.settings();
    if (!m_connected) {
        platform::messageDialogs().inform(base::uiText("ConnectTip", "Please Connect Device...", base::kMessageCapacity));
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
    CFileSizeDlg dialog(*this, m_host, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    QString why;
    const QString path = m_device->StartClip(s.paths.currentVideoFolder(), s.toggles.imagePrefixSelected,
                                             s.registry.g_szCompessName == 1, &why);
    m_clipPath = path;
    if (path.isEmpty()) {
        // The system's reason (a full disk, no permission), as a snapshot says it.
        platform::messageDialogs().inform(base::uiText("ClipFailed", "The clip could not be started in this folder:")
                                          + QLatin1Char('\n') + s.paths.currentVideoFolder()
                                          + (why.isEmpty() ? QString() : QLatin1Char('\n') + why));
        return;
    }
    platform::soundPlayer().play(s.paths.startRecordSound);
    m_host.showStatusMessage(base::fileStatusText("ClipStarted", "Recording %1 in %2", path));
    // The clip's first frame becomes its thumbnail.
    m_device->requestStill(stillRequest(StillRequest::ClipThumbnail));
    m_clock.start(dialog.recordTime());
    m_secondTimer->start();
    m_pacingTimer->start();
    setStatusText(base::uiText("Recording", "Recording......"));
}

// While a clip is being written it has the camera: no stills, and no new
// frame size (the clip keeps the size it began with and would take no
// frame of another).
bool CDeviceView::refusedWhileRecording()
{
    if (!m_device->isRecording())
        return false;
    platform::messageDialogs().inform(
        base::uiText("CaptureTip", "Please stop record video and then capture", base::kMessageCapacity));
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
    case RecordingClock::Tick::ShowElapsed: m_host.setPaneText(0, m_clock.elapsedText(base::uiText("Seconds", "Seconds"))); break;
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
        m_host.showStatusMessage(base::fileStatusText("ClipSaved", "Clip saved: %1 in %2", m_clipPath));
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
    m_host.showStatusMessage(base::fileStatusText("ClipSaved", "Clip saved: %1 in %2", m_clipPath));
}

void CDeviceView::clipFailed(const QString& path, const QString& reason)
{
    finishRecordingNow();
    platform::messageDialogs().inform(base::clipStoppedText(path, reason));
}

}  // namespace capture
