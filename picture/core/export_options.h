#pragma once

#include <QString>

namespace picture {

// How a picture is exported: its size (1 full, 2 half, 3 a third), whether
// the measurements and overlay are imprinted, and its DPI. One set for the
// whole program, chosen in the export option dialog.
struct ExportOptions {
    int imageSize = 1;
    bool imprint = false;
    int dpi = 96;
};

ExportOptions& exportOptions();

// Message 1157 to a picture window: 0 writes the workbook of its shapes,
// 1 saves the picture with the export options to `path`.
struct ExportRequest {
    int type = 0;
    int sizeOption = 1;
    int dpi = 96;
    QString path;
};

// Picture size over frame size for a size option; anything else keeps the
// window's zoom.
double exportFactor(int sizeOption, double zoom);

}  // namespace picture
