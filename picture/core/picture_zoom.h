#pragma once

#include <QSize>
#include <QString>

namespace picture {

// How a picture or live window is zoomed, and its three zoom commands.
struct PictureZoom {
    double x = 1.0;
    double y = 1.0;
    bool fit = false;  // the last Full Screen fitted uniformly
    bool zoomOutAllowed = true;
    bool zoomInAllowed = true;
};

void normalZoom(PictureZoom& z);
// Each axis rounded to one decimal, then 0.2 to 1.9 one tenth down; at 0.1
// zooming out stops until Normal. A live window's vertical zoom then takes
// the horizontal one (`verticalFollows`).
void zoomOutStep(PictureZoom& z, bool verticalFollows = false);
// Fits `picture` into `area` uniformly, or stretched when the last Full
// Screen fitted; true when the result is the uniform fit (the one kept).
bool fullScreenZoom(PictureZoom& z, QSize area, QSize picture);
// "W 100% : H 100%"
QString zoomText(const PictureZoom& z);

}  // namespace picture
