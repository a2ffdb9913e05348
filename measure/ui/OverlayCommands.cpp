#include "OverlayCommands.h"

#include "CPitchDlg.h"

#include "base/command_ids.h"
#include "base/command_target.h"
#include "base/text_lookup.h"
#include "base/view_host.h"

#include "measure/core/measure_state.h"

#include "platform/message_dialogs.h"

namespace measure {

namespace {

namespace cmd = base::cmd;

struct OverlayCommand {
    int id;
    int mode;
};

constexpr OverlayCommand kOverlays[] = {
    {cmd::Crosshair, OverlayCrosshair},
    {cmd::GridLines, OverlayGrid},
    {cmd::CircleGrid, OverlayCircleGrid},
    {cmd::ScaleCrosshair, OverlayScaleCross},
};

int modeOf(int id)
{
    for (const OverlayCommand& o : kOverlays) {
        if (o.id == id)
            return o.mode;
    }
    return OverlayNone;
}

}  // namespace

OverlayCommands::OverlayCommands(base::ViewHost& host) : m_host(host)
{
    m_overlay.mode = host.readCrosshair() == 1 ? OverlayCrosshair : OverlayNone;
}

bool OverlayCommands::handles(int id)
{
    return modeOf(id) != OverlayNone;
}

void OverlayCommands::update(int id, base::CommandState& state, int onNow) const
{
    const int mode = modeOf(id);
    if (mode == OverlayNone)
        return;
    state.checkable = true;
    state.checked = onNow == mode;
}

bool OverlayCommands::run(int id, QWidget* parent, int onNow)
{
    const int mode = modeOf(id);
    if (mode == OverlayNone)
        return false;
    if (onNow == mode) {
        m_overlay.mode = OverlayNone;
    } else if (mode == OverlayCrosshair) {
        m_overlay.mode = OverlayCrosshair;
    } else if (!switchGrid(mode, parent)) {
        return false;
    }
    m_host.writeCrosshair(m_overlay.mode == OverlayCrosshair ? 1 : 0);
    return true;
}

// A grid's pitch is asked in the active unit each time it is switched on;
// under 4 picture pixels it would be a grey smear, and is refused.
bool OverlayCommands::switchGrid(int mode, QWidget* parent)
{
    const MeasureState& m = m_host.measure();
    if (!requireCalibration(m))
        return false;
    CPitchDlg dialog(m.unit, parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    const int spacing = static_cast<int>(m.scalePixels * dialog.pitch() / m.scaleLength);
    if (spacing < 4) {
        platform::messageDialogs().inform(
            base::uiText("TipInvalid", "The length of the input is invalid", base::kMessageCapacity));
        return false;
    }
    m_overlay.spacing = spacing;
    m_overlay.label = dialog.pitchText() + m.unit;
    m_overlay.mode = mode;
    return true;
}

void OverlayCommands::moveCrosshair(int x, int y)
{
    m_overlay.crossX = x;
    m_overlay.crossY = y;
}

}  // namespace measure
