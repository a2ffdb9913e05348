#include "picture_zoom.h"

#include <algorithm>
#include <cmath>

namespace picture {

namespace {

// One axis: tenths compared as whole numbers, so 0.2 and 1.9 are exact.
double stepDown(double zoom, bool& reachedBottom)
{
    const long tenths = std::lround(zoom * 10.0);
    if (tenths >= 2 && tenths <= 19) {
        reachedBottom = reachedBottom || tenths == 2;
        return (tenths - 1) / 10.0;
    }
    return tenths / 10.0;
}

}  // namespace

void normalZoom(PictureZoom& z)
{
    z.x = z.y = 1.0;
    z.zoomOutAllowed = z.zoomInAllowed = true;
}

void zoomOutStep(PictureZoom& z, bool verticalFollows)
{
    if (!z.zoomOutAllowed)
        return;
    bool bottom = false;
    const double before = z.x;
    z.x = stepDown(z.x, bottom);
    z.y = verticalFollows ? z.x : stepDown(z.y, bottom);
    if (z.x < std::floor(before * 10.0 + 0.5) / 10.0)
        z.zoomInAllowed = true;
    if (bottom)
        z.zoomOutAllowed = false;
}

bool fullScreenZoom(PictureZoom& z, QSize area, QSize picture)
{
    if (area.isEmpty() || picture.isEmpty())
        return false;
    const double sx = double(area.width()) / picture.width();
    const double sy = double(area.height()) / picture.height();
    if (z.fit) {
        z.fit = false;
        z.x = sx;
        z.y = sy;
        return false;
    }
    z.fit = true;
    z.x = z.y = std::min(sx, sy);
    return true;
}

QString zoomText(const PictureZoom& z)
{
    return QStringLiteral("W %1% : H %2%").arg(z.x * 100.0, 0, 'f', 0).arg(z.y * 100.0, 0, 'f', 0);
}

}  // namespace picture
