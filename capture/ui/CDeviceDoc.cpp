#include "CDeviceDoc.h"

#include "base/view_host.h"

#include "capture/core/frame_ops.h"
#include "capture/core/live_tools.h"
#include "measure/core/shapes.h"
#include "picture/core/zoom_commands.h"

#include "base/app_settings.h"
#include "base/command_ids.h"
#include "base/command_tables.h"

namespace capture {

namespace cmd = base::cmd;

namespace {

struct ToolCommand {
    int id;
    int code;
};

// Commands whose button shows checked while the document holds their code.
constexpr ToolCommand kCheckedCommands[] = {
    {cmd::HorizontalFlip, ToolCodeHorizontalFlip},
    {cmd::VerticalFlip, ToolCodeVerticalFlip},
    {cmd::Negative, ToolCodeNegative},
    {cmd::RedChannel, ToolCodeRed},
    {cmd::GreenChannel, ToolCodeGreen},
    {cmd::BlueChannel, ToolCodeBlue},
};

// The tool code of each overlay mode, by mode.
constexpr int kToolOfOverlay[] = {ToolCodeNone, ToolCodeCrosshair, ToolCodeGrid, ToolCodeCircleGrid, ToolCodeScaleCrosshair};

}  // namespace

CDeviceDoc::CDeviceDoc(const QString& title, base::ViewHost& host, QObject* parent)
    : QObject(parent), m_title(title), m_host(host)
{
    const base::AppSettings& s = host.settings();
    m_zoom.x = s.registry.m_zoon_ratio_x;
    m_zoom.y = s.registry.m_zoon_ratio_y;
    m_colourMode = s.toggles.imageColorSelected;
    m_toolCode = s.toggles.featureSelected;
    m_mirror = s.toggles.imageHFlipSelected != 0;
    m_flip = s.toggles.imageVFlipSelected != 0;
}

bool CDeviceDoc::handlesCommand(int id) const
{
    if (picture::ZoomCommands::handles(id))
        return true;
    for (const ToolCommand& t : kCheckedCommands) {
        if (t.id == id)
            return true;
    }
    return false;
}

void CDeviceDoc::updateCommand(int id, base::CommandState& state) const
{
    picture::ZoomCommands::update(id, state, m_zoom);
    int code = 0;
    for (const ToolCommand& t : kCheckedCommands) {
        if (t.id == id)
            code = t.code;
    }
    if (code) {
        state.checkable = true;
        state.checked = m_toolCode == code;
    }
}

void CDeviceDoc::runCommand(int id)
{
    if (picture::ZoomCommands::run(id, m_zoom, m_host, m_resolution, {.verticalFollows = true})) {
        Q_EMIT updated(kHintZoom);
        return;
    }
    switch (id) {
    case cmd::HorizontalFlip: toggleFlip(true); break;
    case cmd::VerticalFlip: toggleFlip(false); break;
    case cmd::Negative: toggleColour(ToolCodeNegative, capture::Negative); break;
    case cmd::RedChannel: toggleColour(ToolCodeRed, capture::RedChannel); break;
    case cmd::GreenChannel: toggleColour(ToolCodeGreen, capture::GreenChannel); break;
    case cmd::BlueChannel: toggleColour(ToolCodeBlue, capture::BlueChannel); break;
    default: break;
    }
}

bool CDeviceDoc::storeToolCode(int code)
{
    if (m_toolCode == code)
        return false;
    m_toolCode = code;
    m_host.settings().toggles.featureSelected = code;
    return true;
}

void CDeviceDoc::setToolCode(int code)
{
    if (storeToolCode(code))
        m_host.saveImageToggles();
}

bool CDeviceDoc::crosshairFollowsClicks() const
{
    return m_toolCode == ToolCodeCrosshair || m_toolCode == ToolCodeScaleCrosshair;
}

void CDeviceDoc::overlayChosen(int mode)
{
    const bool known = mode >= 0 && mode < static_cast<int>(std::size(kToolOfOverlay));
    setToolCode(known ? kToolOfOverlay[mode] : ToolCodeNone);
    Q_EMIT updated(0);
}

int CDeviceDoc::overlayOfTool() const
{
    for (int mode = 1; mode < static_cast<int>(std::size(kToolOfOverlay)); ++mode) {
        if (kToolOfOverlay[mode] == m_toolCode)
            return mode;
    }
    return 0;
}

void CDeviceDoc::toggleFlip(bool horizontal)
{
    bool& flag = horizontal ? m_mirror : m_flip;
    flag = !flag;
    base::ImageToggles& t = m_host.settings().toggles;
    (horizontal ? t.imageHFlipSelected : t.imageVFlipSelected) = flag ? 1 : 0;
    storeToolCode(flag ? (horizontal ? ToolCodeHorizontalFlip : ToolCodeVerticalFlip) : ToolCodeNone);
    m_host.saveImageToggles();
    Q_EMIT updated(0);
}

void CDeviceDoc::toggleColour(int toolCode, int mode)
{
    const bool on = m_colourMode != mode;
    m_colourMode = on ? mode : Natural;
    storeToolCode(on ? toolCode : ToolCodeNone);
    m_host.settings().toggles.imageColorSelected = m_colourMode;
    m_host.saveImageToggles();
    Q_EMIT updated(0);
}

}  // namespace capture
