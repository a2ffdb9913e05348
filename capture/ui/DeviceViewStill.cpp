// Still pictures of a live window: the request (toolbar, F2, the timed
// capture, the microscope's button) and the saving of the frame it caught.
#include "CDeviceView.h"
#include "CTimerDlg.h"

#include "base/view_host.h"

#include "capture/core/snapshot_files.h"
#include "capture/core/snapshot_render.h"
#include "capture/device/latest_frame.h"
#include "capture/device/live_stream.h"

#include "base/app_settings.h"
#include "base/text_lookup.h"

#include "measure/core/measurement_workbook.h"
#include "measure/core/picture_options.h"
#include "measure/ui/WorkbookExport.h"

#include "platform/message_dialogs.h"
#include "platform/posted_message.h"
#include "platform/sound_player.h"

#include <QDateTime>

namespace capture {

void CDeviceView::snapshotRequest()
{
    if (refusedWhileRecording())
        return;
    if (!canTakeStill()) {
        // Without frames the request would wait and fire when the microscope
        // comes back, taking a picture nobody asked for then.
        platform::messageDialogs().inform(
            m_connected ? base::uiText("ConnectWiFiTip", "Please Connect WiFi Microscope", base::kMessageCapacity)
                        : base::uiText("ConnectTip", "Please Connect Device...", base::kMessageCapacity));
        return;
    }
    m_device->requestStill(stillRequest(StillRequest::Snapshot));
}

bool CDeviceView::canTakeStill() const
{
    return m_connected && !m_device->isReconnecting();
}

StillRequest CDeviceView::stillRequest(StillRequest::Purpose purpose) const
{
    const base::AppSettings& s = m_host.settings();
    StillRequest request;
    request.purpose = purpose;
    request.options.dpi = static_cast<int>(s.registry.g_szBmporjpgDPI);
    switch (purpose) {
    case StillRequest::Snapshot:
        request.path = snapshotPath(s.paths.currentPictureFolder(), s.toggles.imagePrefixSelected, QDateTime::currentDateTime(),
                                    s.registry.g_szBmporjpg == 1);
        break;
    case StillRequest::ClipThumbnail: request.path = clipThumbnailPath(m_clipPath); break;
    case StillRequest::WorkbookPicture: request.path = measure::workbookPicturePath(s.paths.currentFolder); break;
    }
    return request;
}

QString CDeviceView::cameraName() const
{
    for (const CameraChoice& choice : cameraChoices()) {
        if (choice.current)
            return choice.name;
    }
    return m_device->description().title;
}

QImage CDeviceView::shownFrame() const
{
    SnapshotInput in;
    if (!m_connected || !m_device->latestFrame().copyOut(in.rows, in.width, in.height))
        return {};
    in.mirror = m_doc->mirror();
    in.flip = m_doc->flip();
    in.colourMode = m_doc->colourMode();
    return renderSnapshot(in);
}

void CDeviceView::savePicture(const StillAnswer& answer)
{
    const StillRequest& request = answer.request;
    SnapshotInput in;
    if (!answer.frame || !answer.frame->copyOut(in.rows, in.width, in.height))
        return;
    in.mirror = m_doc->mirror();
    in.flip = m_doc->flip();
    in.colourMode = m_doc->colourMode();
    in.scaleX = measure::exportFactor(request.options.sizeOption, m_doc->zoom().x);
    in.scaleY = measure::exportFactor(request.options.sizeOption, m_doc->zoom().y);
    in.burnIn = request.options.imprint;
    in.overlay = m_overlays.overlay();
    in.overlay.colour = m_host.measure().colour;
    in.overlay.lineWidth = m_host.measure().lineWidth;
    in.shapes = m_shapes.get();
    in.measure = &m_host.measure();
    const QImage picture = renderSnapshot(in);
    if (picture.isNull())
        return;

    // A snapshot never replaces a picture: the second of the same second
    // gets the next free name.
    QString path = request.path;
    const auto metadata = stillMetadata(m_host.measure(), QSize(in.width, in.height), picture.size(),
                                        QDateTime::currentDateTime(), m_device->description().settingsKey, cameraName(),
                                        request.options.dpi);
    const QString failure = request.purpose == StillRequest::Snapshot
        ? writeNewPicture(picture, request.path, !isJpegPath(request.path), request.options.dpi, metadata, path)
        : writePicture(picture, path, !isJpegPath(path), request.options.dpi, metadata);
    if (!failure.isEmpty()) {
        // A series would only fail again with every picture: it stops, saying why once.
        if (request.purpose == StillRequest::Snapshot && m_timerDlg && m_timerDlg->seriesRunning())
            m_timerDlg->stopSeries(base::saveFailedText(request.path, failure));
        else
            platform::messageDialogs().inform(base::saveFailedText(request.path, failure));
        return;
    }
    const base::AppSettings& s = m_host.settings();
    switch (request.purpose) {
    case StillRequest::ClipThumbnail: platform::postMessage(m_host.mainWindow(), platform::msg::FileSaved, 0, 1, path); return;
    case StillRequest::WorkbookPicture: {
        const measure::MeasureState& m = m_host.measure();
        measure::writeAndOpenWorkbook(s.paths.saveRoot, measure::slotMeasurements(*m_shapes, m), m, path,
                                      [this](const QString& text) { m_host.showStatusMessage(text); });
        return;
    }
    case StillRequest::Snapshot:
        m_lastSaved = path;
        platform::soundPlayer().play(s.paths.captureSound);
        m_host.showStatusMessage(base::fileStatusText("PictureSaved", "Picture saved: %1 in %2", path));
        platform::postMessage(m_host.mainWindow(), platform::msg::FileSaved, 0, 0);
        return;
    }
}

}  // namespace capture
