#include "zoom_commands.h"

#include "base/app_settings.h"
#include "base/command_target.h"
#include "base/view_host.h"

namespace picture {

namespace cmd = base::cmd;

void ZoomCommands::update(int id, base::CommandState& state, const picture::PictureZoom& zoom)
{
    if (id == cmd::ZoomOut)
        state.enabled = zoom.zoomOutAllowed;
}

bool ZoomCommands::run(int id, picture::PictureZoom& zoom, base::ViewHost& host, QSize pictureSize, ZoomStyle style)
{
    bool save = true;
    switch (id) {
    case cmd::ZoomIn: save = picture::fullScreenZoom(zoom, host.fullScreenArea() + style.extraArea, pictureSize); break;
    case cmd::ZoomNormal: picture::normalZoom(zoom); break;
    case cmd::ZoomOut: picture::zoomOutStep(zoom, style.verticalFollows); break;
    default: return false;
    }
    host.setPaneText(1, picture::zoomText(zoom), QColor(255, 0, 0));
    if (save) {
        base::RegistrySettings& r = host.settings().registry;
        r.m_zoon_ratio_x = zoom.x;
        r.m_zoon_ratio_y = zoom.y;
        host.saveRegistrySettings();
    }
    return true;
}

}  // namespace picture
