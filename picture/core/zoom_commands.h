#pragma once

#include "picture_zoom.h"

#include "base/command_ids.h"

namespace base {
class ViewHost;
struct CommandState;
}  // namespace base

namespace picture {

// Where one window's zoom steps differ: Full Screen fits into the host's
// area plus `extraArea`, and Zoom Out may make the vertical zoom follow.
struct ZoomStyle {
    QSize extraArea{0, 0};
    bool verticalFollows = false;
};

// The zoom commands a picture window and a live window answer alike: Full
// Screen (Zoom In), Normal and Zoom Out. Each step shows the zoom in red in
// the status bar and is stored for new windows to start with; a Full Screen
// that stretches the picture is not stored.
class ZoomCommands {
public:
    static bool handles(int id) { return id == base::cmd::ZoomIn || id == base::cmd::ZoomNormal || id == base::cmd::ZoomOut; }
    static void update(int id, base::CommandState& state, const PictureZoom& zoom);
    // True when `id` stepped `zoom`; the window then lays its picture out again.
    static bool run(int id, PictureZoom& zoom, base::ViewHost& host, QSize pictureSize, ZoomStyle style);
};

}  // namespace picture
