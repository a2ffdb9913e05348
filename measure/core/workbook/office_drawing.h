#pragma once

#include <QByteArray>
#include <QSize>

#include <vector>

namespace measure::workbook {

// Where a picture sits: its top-left cell and offsets in the cell (1/1024
// of the column's width, 1/256 of the row's height), and its bottom-right
// likewise.
struct CellAnchor {
    int colLeft = 0, dxLeft = 0, rowTop = 0, dyTop = 0;
    int colRight = 0, dxRight = 0, rowBottom = 0, dyBottom = 0;
};

struct SheetDrawing {
    int drawingId = 1;  // 1, 2, ... per sheet that has pictures
    struct Shape {
        int blip;  // 1-based index into the workbook's pictures
        CellAnchor anchor;
    };
    std::vector<Shape> shapes;
};

// The drawing records that carry pictures in a workbook: the pictures
// themselves once for the workbook (PNG), and per sheet the shapes that
// show them. Shape ids are 1024 per drawing: drawing n uses n * 1024 + k.
QByteArray drawingGroup(const std::vector<QByteArray>& pngs, const std::vector<SheetDrawing>& drawings);
// Per shape k of a sheet's drawing: the drawing bytes that go before its
// OBJ record (the first also opens the sheet's drawing container).
std::vector<QByteArray> sheetDrawingParts(const SheetDrawing& drawing);
// The OBJ record body of a picture shape.
QByteArray pictureObject(int objectId);

}  // namespace measure::workbook
