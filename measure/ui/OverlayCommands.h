#pragma once

#include "measure/core/overlay_painter.h"

class QWidget;

namespace base {
class ViewHost;
struct CommandState;
}  // namespace base

namespace measure {

// The overlay commands a picture window and a live window answer alike: the
// crosshair, grid lines, circle grid and scale crosshair, one at a time.
// Choosing the one shown switches it off; choosing another switches to it at
// once, a grid first asking its pitch in real units. The crosshair switch is
// stored, so that new windows start with it.
class OverlayCommands {
public:
    // Starts from the stored crosshair switch.
    explicit OverlayCommands(base::ViewHost& host);

    static bool handles(int id);
    // `onNow`: the overlay the window counts as chosen (an OverlayMode),
    // which a live window takes from its chosen tool; else the one shown.
    void update(int id, base::CommandState& state, int onNow) const;
    // Runs command `id`, with its dialogs over `parent`; true when what the
    // overlay shows changed.
    bool run(int id, QWidget* parent, int onNow);

    const OverlayParams& overlay() const { return m_overlay; }
    int mode() const { return m_overlay.mode; }
    // A click moves the crosshair (frame pixels).
    void moveCrosshair(int x, int y);

private:
    bool switchGrid(int mode, QWidget* parent);

    base::ViewHost& m_host;
    OverlayParams m_overlay;
};

}  // namespace measure
