// Still pictures of a live window: the request (toolbar, F2, the timed
// capture, the microscope's button) and the saving of the frame it caught.
#include "CDeviceView.h"

#include "shell/core/view_host.h"

#include "capture/core/snapshot_files.h"
#include "capture/core/snapshot_render.h"
#include "capture/device/capture_device.h"
#include "capture/device/slot_frame.h"

#include "shell/core/app_settings.h"
#include "shell/core/text_lookup.h"

#include "measure/core/measurement_workbook.h"
#include "measure/ui/WorkbookExport.h"

#include "platform/message_dialogs.h"
#include "platform/posted_message.h"
#include "platform/sound_player.h"

#include <QDateTime>

namespace capture {

void CDeviceView::snapshotRequest()
{
    if (m_device->isRecording()) {
        platform::messageDialogs().inform(
            shell::uiText("CaptureTip", "Please stop record video and then capture", shell::kMessageCapacity));
        return;
    }
    if (!m_connected) {
        // Without frames the request would wait and fire when the microscope
        // comes back, taking a picture nobody asked for then.
        platform::messageDialogs().inform(shell::uiText("ConnectTip", "Please Connect Device...", shell::kMessageCapacity));
        return;
    }
    shell::RegistrySettings& r = m_host.settings().registry;
    r.g_szSaveoption1 = 1;
    r.g_szSaveoption2 = 1;
    m_pictureMode = SnapshotPicture;
    m_device->requestStill();
}

void CDeviceView::savePicture()
{
    SnapshotInput in;
    if (!m_device->slotFrame().copyOut(in.rows, in.width, in.height))
        return;  // no frame came yet
    const shell::AppSettings& s = m_host.settings();
    const SaveScale scale = saveScaleFor(s.registry.g_szSaveoption1, m_doc->zoom().x, m_doc->zoom().y);
    in.mirror = m_doc->mirror();
    in.flip = m_doc->flip();
    in.colourMode = m_doc->colourMode();
    in.scaleX = scale.x;
    in.scaleY = scale.y;
    in.burnIn = s.registry.g_szSaveoption2 == 1;
    in.overlay = m_doc->overlay();
    in.overlay.colour = m_host.measure().colour;
    in.overlay.lineWidth = m_host.measure().lineWidth;
    in.shapes = m_shapes.get();
    in.measure = &m_host.measure();
    const QImage picture = renderSnapshot(in);
    if (picture.isNull())
        return;

    const int dpi = static_cast<int>(s.registry.g_szBmporjpgDPI);
    QString path;
    bool bmp = true;
    if (m_pictureMode == ClipThumbnail) {
        path = clipThumbnailPath(m_clipPath);
    } else if (m_pictureMode == WorkbookPicture) {
        path = measure::workbookPicturePath(s.paths.currentFolder);
    } else {
        bmp = s.registry.g_szBmporjpg == 1;
        path = snapshotPath(s.paths.currentPictureFolder(), s.toggles.imagePrefixSelected, QDateTime::currentDateTime(), bmp);
    }
    const QString failure = writePicture(picture, path, bmp, dpi);
    if (!failure.isEmpty()) {
        platform::messageDialogs().inform(shell::saveFailedText(path, failure));
        return;
    }
    if (m_pictureMode == ClipThumbnail) {
        platform::postMessage(m_host.mainWindow(), platform::msg::FileSaved, 0, 1, path);
        return;
    }
    if (m_pictureMode == WorkbookPicture) {
        m_pictureMode = SnapshotPicture;
        const measure::MeasureState& m = m_host.measure();
        measure::writeAndOpenWorkbook(s.paths.saveRoot, measure::slotMeasurements(*m_shapes, m), m, path);
        return;
    }
    m_lastSaved = path;
    platform::soundPlayer().play(s.paths.captureSound);
    platform::postMessage(m_host.mainWindow(), platform::msg::FileSaved, 0, 0);
}


}  // namespace capture
