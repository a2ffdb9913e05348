#pragma once

#include <QSize>
#include <QString>

namespace capture {

// The zoom of one live window and the two rules that step it.
struct LiveZoom {
    double x = 1.0;
    double y = 1.0;
    bool fitUniform = false;  // what the last Full Screen did
    bool zoomInAllowed = true;
    bool zoomOutAllowed = true;
};

// Full Screen: fits the picture into `area` uniformly, or, when the previous
// Full Screen did that, stretches it to fill. True when the result is the
// uniform fit (the one that is kept for the next start).
bool fullScreenZoom(LiveZoom& zoom, QSize area, QSize resolution);
// Normal: 1:1, both directions allowed again.
void normalZoom(LiveZoom& zoom);
// ZoomOut: one decimal step down between 1.9 and 0.2, never below 0.1.
void zoomOutStep(LiveZoom& zoom);

// "W 100% : H 100%", as the status bar shows it.
QString zoomStatusText(const LiveZoom& zoom);

}  // namespace capture
