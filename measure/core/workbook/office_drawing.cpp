#include "office_drawing.h"

#include "biff_records.h"

#include <QCryptographicHash>

#include <algorithm>

namespace measure::workbook {

namespace {

// An OfficeArt record: version and instance, type, length, then the body.
QByteArray art(int version, int instance, int type, const QByteArray& body)
{
    return Bytes().u16((instance << 4) | version).u16(type).u32(quint32(body.size())).raw(body).bytes();
}

constexpr int kContainer = 0xF;

int shapeId(int drawingId, int k)
{
    return drawingId * 1024 + k;  // k = 0: the drawing's group shape
}

}  // namespace

QByteArray drawingGroup(const std::vector<QByteArray>& pngs, const std::vector<SheetDrawing>& drawings)
{
    quint32 spidMax = 0, shapesSaved = 0;
    Bytes clusters;
    for (const SheetDrawing& d : drawings) {
        const int count = int(d.shapes.size());
        spidMax = std::max(spidMax, quint32(shapeId(d.drawingId, count) + 1));
        shapesSaved += quint32(count + 1);
        clusters.u32(quint32(d.drawingId)).u32(quint32(count + 1));
    }
    const QByteArray fdgg = Bytes()
                                .u32(spidMax)
                                .u32(quint32(drawings.size() + 1))
                                .u32(shapesSaved)
                                .u32(quint32(drawings.size()))
                                .raw(clusters.bytes())
                                .bytes();

    QByteArray store;
    for (size_t i = 0; i < pngs.size(); ++i) {
        const QByteArray& png = pngs[i];
        const QByteArray uid = QCryptographicHash::hash(png, QCryptographicHash::Md4);
        const QByteArray blip = art(0, 0x6E0, 0xF01E, Bytes().raw(uid).u8(0xFF).raw(png).bytes());
        int references = 0;
        for (const SheetDrawing& d : drawings)
            references += int(
                std::count_if(d.shapes.begin(), d.shapes.end(), [i](const auto& s) { return s.blip == int(i) + 1; }));
        const QByteArray fbse = Bytes()
                                    .u8(6)  // PNG, for Windows
                                    .u8(6)  // and for the Mac
                                    .raw(uid)
                                    .u16(0xFF)
                                    .u32(quint32(blip.size()))
                                    .u32(quint32(std::max(references, 1)))
                                    .u32(0)  // the picture follows here, not in a delay stream
                                    .u8(0)
                                    .u8(0)  // no name
                                    .u8(0)
                                    .u8(0)
                                    .raw(blip)
                                    .bytes();
        store += art(2, 6, 0xF007, fbse);
    }
    return art(kContainer, 0, 0xF000, art(0, 0, 0xF006, fdgg) + art(kContainer, int(pngs.size()), 0xF001, store));
}

std::vector<QByteArray> sheetDrawingParts(const SheetDrawing& drawing)
{
    const int count = int(drawing.shapes.size());
    // The group every drawing starts with.
    const QByteArray group = art(
        kContainer, 0, 0xF004,
        art(1, 0, 0xF009, QByteArray(16, '\0'))
            + art(2, 0, 0xF00A, Bytes().u32(quint32(shapeId(drawing.drawingId, 0))).u32(0x0005).bytes()));
    std::vector<QByteArray> shapes;
    for (int k = 0; k < count; ++k) {
        const SheetDrawing::Shape& s = drawing.shapes[size_t(k)];
        const CellAnchor& a = s.anchor;
        const QByteArray sp = art(2, 75, 0xF00A, Bytes().u32(quint32(shapeId(drawing.drawingId, k + 1))).u32(0x0A00).bytes());
        // One property: the picture, by its 1-based place in the store.
        const QByteArray opt = art(3, 1, 0xF00B, Bytes().u16(0x4104).u32(quint32(s.blip)).bytes());
        const QByteArray anchor = art(0, 0, 0xF010,
                                      Bytes()
                                          .u16(0x0002)  // moves with its cells, keeps its size
                                          .u16(a.colLeft)
                                          .u16(a.dxLeft)
                                          .u16(a.rowTop)
                                          .u16(a.dyTop)
                                          .u16(a.colRight)
                                          .u16(a.dxRight)
                                          .u16(a.rowBottom)
                                          .u16(a.dyBottom)
                                          .bytes());
        const QByteArray clientData = art(0, 0, 0xF011, {});
        shapes.push_back(art(kContainer, 0, 0xF004, sp + opt + anchor + clientData));
    }
    QByteArray groupBody = group;
    for (const QByteArray& s : shapes)
        groupBody += s;
    const QByteArray fdg = art(0, drawing.drawingId, 0xF008,
                               Bytes().u32(quint32(count + 1)).u32(quint32(shapeId(drawing.drawingId, count))).bytes());
    const QByteArray whole = art(kContainer, 0, 0xF002, fdg + art(kContainer, 0, 0xF003, groupBody));

    // Cut after each shape: its OBJ record follows in the stream.
    std::vector<QByteArray> parts;
    int from = 0;
    int end = int(whole.size()) - int(groupBody.size()) + int(group.size());
    for (const QByteArray& s : shapes) {
        end += int(s.size());
        parts.push_back(whole.mid(from, end - from));
        from = end;
    }
    return parts;
}

QByteArray pictureObject(int objectId)
{
    return Bytes()
        .u16(0x15)
        .u16(0x12)
        .u16(0x08)
        .u16(objectId)
        .u16(0x6011)
        .zeros(12)  // common data: a picture
        .u16(0x07)
        .u16(0x02)
        .u16(0xFFFF)  // clipboard format: other
        .u16(0x08)
        .u16(0x02)
        .u16(0x0001)  // picture flags: automatic
        .u32(0)       // end
        .bytes();
}

}  // namespace measure::workbook
