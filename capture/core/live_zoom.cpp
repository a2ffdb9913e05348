#include "live_zoom.h"

#include <algorithm>
#include <cmath>

namespace capture {

namespace {

double toOneDecimal(double v)
{
    return std::floor(v * 10.0 + 0.5) / 10.0;
}

}  // namespace

bool fullScreenZoom(LiveZoom& zoom, QSize area, QSize resolution)
{
    if (resolution.width() <= 0 || resolution.height() <= 0 || area.width() <= 0 || area.height() <= 0)
        return false;  // nothing sensible to fit; the zoom stays
    const double sx = double(area.width()) / resolution.width();
    const double sy = double(area.height()) / resolution.height();
    if (zoom.fitUniform) {
        zoom.fitUniform = false;
        zoom.x = sx;
        zoom.y = sy;
        return false;
    }
    zoom.fitUniform = true;
    zoom.x = zoom.y = std::min(sx, sy);
    return true;
}

void normalZoom(LiveZoom& zoom)
{
    zoom.x = zoom.y = 1.0;
    zoom.zoomInAllowed = zoom.zoomOutAllowed = true;
}

void zoomOutStep(LiveZoom& zoom)
{
    // Compared in tenths so 0.3 and 1.9 are exact.
    const int tenths = static_cast<int>(std::lround(toOneDecimal(zoom.x) * 10.0));
    double x = toOneDecimal(zoom.x);
    if (tenths >= 3 && tenths <= 19) {
        x = (tenths - 1) / 10.0;
        zoom.zoomInAllowed = true;
    } else if (tenths == 2) {
        x = 0.1;
        zoom.zoomOutAllowed = false;
    }
    zoom.x = zoom.y = x;
}

QString zoomStatusText(const LiveZoom& zoom)
{
    return QStringLiteral("W %1% : H %2%").arg(zoom.x * 100.0, 0, 'f', 0).arg(zoom.y * 100.0, 0, 'f', 0);
}

}  // namespace capture
