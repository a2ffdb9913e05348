#pragma once

namespace measure {

// How a picture is written: a snapshot, a saved copy or the workbook's
// picture. Each request carries its own, so nothing is left behind for the
// next one.
struct PictureOptions {
    int sizeOption = 1;   // 1 full size, 2 half, 3 a third; else the window's zoom
    bool imprint = true;  // the finished measurements and the overlay drawn in
    int dpi = 96;
};

// Picture size over frame size for a size option; anything else keeps the
// window's zoom.
double exportFactor(int sizeOption, double zoom);

}  // namespace measure
