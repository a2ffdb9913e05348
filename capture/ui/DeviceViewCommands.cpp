// The commands a live window answers: the toolbar's camera, record and
// calibration buttons, the resolution menu, the snapshot-button setting, the
// overlays as a picture window has them and, through its document, zoom,
// flips and colours.
#include "CDeviceView.h"
#include "CTimerDlg.h"
#include "CVideoSettingDlg.h"
#include "LiveExportSource.h"

#include "base/view_host.h"

#include "capture/core/live_tools.h"
#include "capture/device/live_stream.h"
#include "measure/core/calibration_profiles.h"
#include "measure/core/shapes.h"

#include "measure/ui/CCalibrationDlg.h"
#include "measure/ui/CalibrationMenu.h"
#include "measure/ui/ShapeHost.h"

#include "base/app_settings.h"
#include "base/command_ids.h"
#include "base/text_lookup.h"

#include "platform/message_dialogs.h"
#include "platform/posted_message.h"

#include <QCursor>
#include <QMenu>

namespace capture {

namespace cmd = base::cmd;

namespace {

int resolutionIndexOf(int id)
{
    for (size_t i = 0; i < cmd::kResolutionCommands.size(); ++i) {
        if (cmd::kResolutionCommands[i] == id)
            return static_cast<int>(i);
    }
    return -1;
}

}  // namespace

bool CDeviceView::handlesCommand(int id) const
{
    switch (id) {
    case cmd::Camera:
    case cmd::Record:
    case cmd::VideoProperty:
    case cmd::Timer:
    case cmd::UsbSnapshot: return true;
    default:
        return measure::isMeasureCommand(id) || measure::OverlayCommands::handles(id) || resolutionIndexOf(id) >= 0
            || m_doc->handlesCommand(id);
    }
}

void CDeviceView::updateCommand(int id, base::CommandState& state) const
{
    if (id == cmd::VideoProperty || id == cmd::Timer) {
        state.enabled = m_connected;
        return;
    }
    if (id == cmd::UsbSnapshot) {
        state.checkable = true;
        state.checked = m_host.settings().registry.isEnableSnap != 0;
        return;
    }
    if (const int index = resolutionIndexOf(id); index >= 0) {
        // Sizes the camera does not offer are greyed rather than sent to it.
        const auto menu = resolutionMenu();
        const QSize size = static_cast<size_t>(index) < menu.size() ? menu[static_cast<size_t>(index)].second : QSize();
        state.enabled = m_connected && !size.isEmpty();
        state.checkable = true;
        state.checked = state.enabled && size == m_frameSize;
        return;
    }
    if (measure::isMeasureCommand(id))
        measure::updateMeasureCommand(*this, id, state);
    else if (measure::OverlayCommands::handles(id))
        m_overlays.update(id, state, m_doc->overlayOfTool());
    else
        m_doc->updateCommand(id, state);
}

void CDeviceView::runCommand(int id)
{
    if (measure::isMeasureCommand(id)) {
        measure::runMeasureCommand(*this, id);
        return;
    }
    switch (id) {
    case cmd::Camera: snapshotRequest(); return;
    case cmd::Record: record(); return;
    case cmd::VideoProperty: openVideoSettings(); return;
    case cmd::Timer: openTimer(); return;
    case cmd::UsbSnapshot: toggleUsbSnapshot(); return;
    default: break;
    }
    if (const int index = resolutionIndexOf(id); index >= 0) {
        setResolution(index);
        return;
    }
    if (measure::OverlayCommands::handles(id)) {
        if (m_overlays.run(id, this, m_doc->overlayOfTool()))
            m_doc->overlayChosen(m_overlays.mode());
        return;
    }
    m_doc->runCommand(id);
}

int CDeviceView::measuringTool() const
{
    const int code = m_doc->toolCode();
    return measure::kindOfTool(code) ? code : measure::ToolNone;
}

void CDeviceView::setMeasuringTool(int toolCode)
{
    m_doc->setToolCode(toolCode);
    documentUpdated(0);
}

void CDeviceView::undoShape()
{
    if (!m_shapes->empty())
        replaceMeasurements(m_shapes->size() - 1);
}

void CDeviceView::deleteAllShapes()
{
    if (!m_shapes->empty())
        replaceMeasurements(0);
}

measure::ExportSource CDeviceView::exportSource()
{
    return capture::exportSource(*this);
}

std::vector<std::pair<QString, QSize>> CDeviceView::resolutionMenu() const
{
    std::vector<std::pair<QString, QSize>> menu;
    if (const auto named = m_device->menuSizes(); !named.empty()) {
        for (const auto& [label, size] : named)
            menu.push_back({label, QSize(size.first, size.second)});
        return menu;
    }
    const ResolutionTable table = m_device->GetResolutions();
    for (size_t i = 0; i < cmd::kResolutionCommands.size(); ++i) {
        const ResolutionEntry& r = table[i];
        if (r.width > 0 && r.height > 0)
            menu.push_back({QStringLiteral("%1X%2").arg(r.width).arg(r.height), QSize(r.width, r.height)});
        else
            menu.push_back({});
    }
    return menu;
}

void CDeviceView::setResolution(int index)
{
    const auto menu = resolutionMenu();
    if (static_cast<size_t>(index) >= menu.size() || menu[static_cast<size_t>(index)].second.isEmpty())
        return;  // the camera offers no size there
    changeResolution(menu[static_cast<size_t>(index)].second);
}

void CDeviceView::changeResolution(QSize size)
{
    if (refusedWhileRecording())
        return;
    const QSize oldSize = m_frameSize;
    m_frameSize = size;
    m_doc->setResolution(size);
    m_device->SetResolution(size.width(), size.height(), capConfigPath());
    if (m_device->isBuilt())
        m_frameSize = QSize(m_device->width(), m_device->height());
    platform::postMessage(this, platform::msg::RelayoutLiveView);
    // A calibration belongs to the picture size it was made at.
    if (measure::followPictureSize(m_host.measure(), m_host.settings().paths.settingsFolder(), oldSize, m_frameSize))
        platform::postMessage(m_host.mainWindow(), platform::msg::RefreshCalibrationName);
    m_host.setPaneText(2, QStringLiteral("%1:%2").arg(m_frameSize.width()).arg(m_frameSize.height()));
}

void CDeviceView::toggleUsbSnapshot()
{
    quint32& snap = m_host.settings().registry.isEnableSnap;
    snap = snap ? 0 : 1;
    m_device->setHardwareSnapshot(snap != 0);
    if (snap) {
        m_device->Rebuild();
        m_host.saveRegistrySettings();
    } else {
        m_host.saveRegistrySettings();
        m_device->Rebuild();
    }
}

void CDeviceView::setCameraChoices(std::function<std::vector<CameraChoice>()> list, std::function<bool(const QString&)> choose)
{
    m_cameraList = std::move(list);
    m_chooseCamera = std::move(choose);
}

std::vector<CameraChoice> CDeviceView::cameraChoices() const
{
    if (m_cameraList)
        return m_cameraList();
    if (!m_connected)
        return {};
    return {{m_device->description().title, QString(), true}};
}

bool CDeviceView::switchCamera(const QString& devicePath)
{
    if (refusedWhileRecording())
        return false;
    return m_chooseCamera && m_chooseCamera(devicePath);
}

void CDeviceView::openVideoSettings()
{
    if (!m_connected)
        return;
    if (!m_shapes->empty()) {
        platform::messageDialogs().inform(base::uiText("DeleteMeasurementFirst", "Please delete the measurement data first"));
        return;
    }
    CVideoSettingDlg dialog(*this, window());
    dialog.exec();
    if (m_device->isBuilt())
        m_frameSize = QSize(m_device->width(), m_device->height());
    m_host.setPaneText(2, QStringLiteral("%1:%2").arg(m_frameSize.width()).arg(m_frameSize.height()));
    platform::postMessage(this, platform::msg::RelayoutLiveView);
}

CTimerDlg* CDeviceView::timerDialog() const
{
    return m_timerDlg.data();
}

void CDeviceView::openTimer(std::shared_ptr<SeriesClock> clock)
{
    delete m_timerDlg.data();  // stops its series first
    m_timerDlg = clock ? new CTimerDlg(this, m_frameSize, std::move(clock), this) : new CTimerDlg(this, m_frameSize, this);
    m_timerDlg->show();
    m_timerDlg->move(window()->geometry().center() - m_timerDlg->rect().center());
}

// The next line measured on this picture becomes the calibration's reference.
void CDeviceView::newCalibration()
{
    if (m_calibrationDlg)
        delete m_calibrationDlg.data();
    auto* dialog = new measure::CCalibrationDlg(m_host.measure(), m_host.settings().paths.settingsFolder(), m_host.mainWindow(),
                                                this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QObject::destroyed, this, [this] {
        m_calibrating = false;
        m_referenceLine.reset();
        m_referenceTicks = {};
        viewport()->update();
    });
    dialog->setPictureSource([this] { return shownFrame(); });
    connect(dialog, &measure::CCalibrationDlg::ticksFound, this, [this](const measure::TickScale& scale) {
        m_referenceTicks = scale;
        viewport()->update();
    });
    connect(dialog, &measure::CCalibrationDlg::profileSaved, this, [this](const QString& path) {
        m_host.showStatusMessage(base::fileStatusText("ProfileSaved", "Calibration saved: %1 in %2", path));
    });
    m_calibrationDlg = dialog;
    dialog->show();
    dialog->move(window()->geometry().center() - dialog->rect().center());
    m_calibrating = true;
    m_tools->abandon();
    setMeasuringTool(measure::ToolLine);
}

}  // namespace capture
