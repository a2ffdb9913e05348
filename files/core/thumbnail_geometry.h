#pragma once

#include <QColor>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QSize>

class QPainter;

namespace files {

// A thumbnail is a 60 x 60 tile: the picture keeps its aspect, 60 pixels
// on its long side, centred, on a light grey ground with a grey frame; a
// thumbnail chosen with Ctrl has a red frame.
constexpr int kThumbnailSide = 60;
inline const QColor kThumbnailGround{200, 200, 200};  // 0xC8C8C8
inline const QColor kThumbnailFrame{192, 192, 192};   // 0xC0C0C0
inline const QColor kChosenFrame{192, 0, 0};          // 0x0000C0 as the desktop writes colours

// Where a picture of `source` size lies in the tile: a wide one 60 wide and
// round(60 / aspect) high, centred from top to bottom; otherwise 60 high and
// round(60 x aspect) wide, centred from left to right. Empty for an empty size.
QRect thumbnailPlacement(QSize source);

// The picture scaled smoothly to its place in the tile (the size of
// thumbnailPlacement); what the browser keeps for each file.
QImage fitThumbnail(const QImage& picture, QSize fullSize);

// Paints the tile with its top-left corner at `at`; a null picture leaves
// the ground empty.
void paintThumbnailTile(QPainter& painter, QPoint at, const QImage& fitted, bool chosen);

}  // namespace files
