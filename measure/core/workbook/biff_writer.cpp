#include "biff_writer.h"

#include <algorithm>
#include <cmath>

namespace measure::workbook {

namespace {

constexpr int kCellXf = 15;              // the first cell format (General), after fifteen style formats
constexpr int kFirstCustomFormat = 164;  // below are the built-in number formats
constexpr int kRowPixels = 17;
constexpr int kMaxCellText = 32767;

QByteArray bof(int kind)
{
    return Bytes().u16(0x0600).u16(kind).u16(0x0DBB).u16(0x07CC).u32(0).u32(6).bytes();
}

// The built-in number formats a code may name; -1 for others.
int builtInFormat(const QString& code)
{
    if (code == QLatin1String("0"))
        return 1;
    if (code == QLatin1String("0.00"))
        return 2;
    return -1;
}

QByteArray xf(bool style, int numberFormat = 0)
{
    // Which parts a cell format sets itself rather than take from its style:
    // all but the number format, and that too when it has one.
    const int ownParts = style ? 0x00 : numberFormat ? 0xFC : 0xF8;
    return Bytes()
        .u16(0)  // font
        .u16(numberFormat)
        .u16(style ? 0xFFF5 : 0x0001)  // locked; a style, or a cell format on the Normal style
        .u8(0x20)                      // bottom aligned
        .u8(0)
        .u8(0)
        .u8(ownParts)
        .u32(0)
        .u32(0)
        .u16(0x20C0)  // automatic pattern colours
        .bytes();
}

}  // namespace

void RecordStream::add(quint16 id, const QByteArray& body)
{
    m_bytes += Bytes().u16(id).u16(int(body.size())).raw(body).bytes();
}

void RecordStream::addContinued(quint16 id, const QByteArray& body)
{
    int at = 0;
    do {
        const int n = std::min<int>(kMaxRecordBody, int(body.size()) - at);
        add(at == 0 ? id : rec::Continue, body.mid(at, n));
        at += n;
    } while (at < body.size());
}

QByteArray BookWriter::stream()
{
    // Every number format gets a cell format, every text goes into the
    // shared string table once.
    for (int i = 0; i < m_book.sheetCount(); ++i) {
        for (const auto& [at, cell] : m_book.sheet(i)->m_cells) {
            if (cell.number) {
                if (!m_xfOfFormat.contains(cell.numberFormat))
                    addNumberFormat(cell.numberFormat);
                continue;
            }
            const QString t = cell.text.left(kMaxCellText);
            if (!m_stringIndex.contains(t)) {
                m_stringIndex.insert(t, int(m_strings.size()));
                m_strings.append(t);
            }
            ++m_stringUses;
        }
    }
    int drawingId = 0;
    for (int i = 0; i < m_book.sheetCount(); ++i) {
        const Sheet& sheet = *m_book.sheet(i);
        SheetDrawing d;
        for (const Sheet::Placement& p : sheet.m_pictures) {
            if (p.picture < int(m_book.m_pictures.size()))
                d.shapes.push_back({p.picture + 1, anchorOf(sheet, p)});
        }
        d.drawingId = d.shapes.empty() ? 0 : ++drawingId;
        m_drawings.push_back(d);
    }

    std::vector<int> offsetFields;
    writeGlobals(offsetFields);
    for (int i = 0; i < m_book.sheetCount(); ++i) {
        m_out.patch32(offsetFields[size_t(i)], quint32(m_out.position()));
        writeSheet(*m_book.sheet(i), i);
    }
    return m_out.bytes();
}

void BookWriter::addNumberFormat(const QString& code)
{
    if (code.isEmpty()) {
        m_xfOfFormat.insert(code, kCellXf);
        return;
    }
    int id = builtInFormat(code);
    if (id < 0) {
        id = kFirstCustomFormat + int(m_customFormats.size());
        m_customFormats.push_back({id, code});
    }
    m_cellXfFormats.push_back(id);
    m_xfOfFormat.insert(code, kCellXf + int(m_cellXfFormats.size()));
}

void BookWriter::writeGlobals(std::vector<int>& sheetOffsetFields)
{
    m_out.add(rec::Bof, bof(0x0005));
    m_out.add(rec::Codepage, Bytes().u16(1200).bytes());  // texts are UTF-16
    m_out.add(rec::Window1,
              Bytes().u16(0x01E0).u16(0x005A).u16(0x3FCF).u16(0x2A4E).u16(0x38).u16(0).u16(0).u16(1).u16(0x0258).bytes());
    // Five fonts: the fifth is number 5, as number 4 does not exist.
    const QString face = QStringLiteral("Arial");
    for (int i = 0; i < 5; ++i) {
        m_out.add(rec::Font,
                  Bytes()
                      .u16(200)
                      .u16(0)
                      .u16(0x7FFF)
                      .u16(400)
                      .u16(0)
                      .u8(0)
                      .u8(0)
                      .u8(0)
                      .u8(0)
                      .u8(int(face.size()))
                      .u8(1)
                      .utf16(face)
                      .bytes());
    }
    for (const auto& [id, code] : m_customFormats)
        m_out.add(rec::Format, Bytes().u16(id).u16(int(code.size())).u8(1).utf16(code).bytes());
    for (int i = 0; i < kCellXf; ++i)
        m_out.add(rec::Xf, xf(true));
    m_out.add(rec::Xf, xf(false));
    for (const int format : m_cellXfFormats)
        m_out.add(rec::Xf, xf(false, format));
    m_out.add(rec::Style, Bytes().u16(0x8000).u8(0).u8(0xFF).bytes());  // Normal
    for (int i = 0; i < m_book.sheetCount(); ++i) {
        const QString& name = m_book.sheet(i)->name();
        sheetOffsetFields.push_back(m_out.position() + 4);
        m_out.add(rec::BoundSheet, Bytes().u32(0).u8(0).u8(0).u8(int(name.size())).u8(1).utf16(name).bytes());
    }
    std::vector<SheetDrawing> withPictures;
    for (const SheetDrawing& d : m_drawings) {
        if (d.drawingId)
            withPictures.push_back(d);
    }
    if (!withPictures.empty()) {
        std::vector<QByteArray> pngs;
        for (const auto& p : m_book.m_pictures)
            pngs.push_back(p.png);
        m_out.addContinued(rec::MsoDrawingGroup, drawingGroup(pngs, withPictures));
    }
    writeSharedStrings();
    m_out.add(rec::Eof, {});
}

// The strings, split over CONTINUE records where one is full (a string cut
// in two goes on with its option byte again), and the index to every
// eighth string.
void BookWriter::writeSharedStrings()
{
    QByteArray current = Bytes().u32(quint32(m_stringUses)).u32(quint32(m_strings.size())).bytes();
    quint16 id = rec::Sst;
    Bytes index;
    index.u16(8);
    const auto flush = [&] {
        m_out.add(id, current);
        current.clear();
        id = rec::Continue;
    };
    for (int i = 0; i < m_strings.size(); ++i) {
        const QString& s = m_strings[i];
        const QByteArray head = Bytes().u16(int(s.size())).u8(1).bytes();
        if (current.size() + head.size() + 2 > kMaxRecordBody)
            flush();
        if (i % 8 == 0)
            index.u32(quint32(m_out.position() + 4 + current.size())).u16(4 + int(current.size())).u16(0);
        current += head;
        for (int at = 0; at < s.size();) {
            int room = (kMaxRecordBody - int(current.size())) / 2;
            if (room <= 0) {
                flush();
                current = QByteArray(1, '\x01');
                room = (kMaxRecordBody - 1) / 2;
            }
            const int n = std::min(room, int(s.size()) - at);
            current += Bytes().utf16(s.mid(at, n)).bytes();
            at += n;
        }
    }
    m_out.add(id, current);
    m_out.add(rec::ExtSst, index.bytes());
}

void BookWriter::writeSheet(const Sheet& sheet, int sheetIndex)
{
    m_out.add(rec::Bof, bof(0x0010));
    for (const auto& [col, width] : sheet.m_widths)
        m_out.add(rec::ColInfo, Bytes().u16(col).u16(col).u16(int(width * 256)).u16(kCellXf).u16(0).u16(0).bytes());
    int firstRow = 0, lastRow = -1, firstCol = 0, lastCol = -1;
    if (!sheet.m_cells.empty()) {
        firstRow = sheet.m_cells.begin()->first.first;
        lastRow = sheet.m_cells.rbegin()->first.first;
        firstCol = 255;
        for (const auto& [at, cell] : sheet.m_cells) {
            firstCol = std::min(firstCol, at.second);
            lastCol = std::max(lastCol, at.second);
        }
    }
    m_out.add(rec::Dimensions,
              Bytes().u32(quint32(firstRow)).u32(quint32(lastRow + 1)).u16(firstCol).u16(lastCol + 1).u16(0).bytes());
    for (const auto& [at, cell] : sheet.m_cells) {
        const Bytes place = Bytes().u16(at.first).u16(at.second);
        if (cell.number) {
            m_out.add(rec::Number, Bytes(place).u16(m_xfOfFormat.value(cell.numberFormat)).f64(*cell.number).bytes());
        } else {
            m_out.add(rec::LabelSst,
                      Bytes(place).u16(kCellXf).u32(quint32(m_stringIndex.value(cell.text.left(kMaxCellText)))).bytes());
        }
    }
    const SheetDrawing& drawing = m_drawings[size_t(sheetIndex)];
    if (drawing.drawingId) {
        const std::vector<QByteArray> parts = sheetDrawingParts(drawing);
        for (const QByteArray& part : parts) {
            m_out.addContinued(rec::MsoDrawing, part);
            m_out.add(rec::Obj, pictureObject(m_nextObjectId++));
        }
    }
    m_out.add(rec::Window2,
              Bytes().u16(sheetIndex == 0 ? 0x06B6 : 0x00B6).u16(0).u16(0).u16(0x40).u16(0).u16(0).u16(0).u32(0).bytes());
    m_out.add(rec::Eof, {});
}

// Walks the columns and rows the picture covers from its top-left corner.
CellAnchor BookWriter::anchorOf(const Sheet& sheet, const Sheet::Placement& p) const
{
    const QSize size = m_book.m_pictures[size_t(p.picture)].size;
    CellAnchor a;
    int col = p.col, x = p.offsetX;
    while (col < 255 && x >= sheet.columnPixels(col))
        x -= sheet.columnPixels(col++);
    a.colLeft = col;
    a.dxLeft = std::min(1023, x * 1024 / sheet.columnPixels(col));
    x += int(std::lround(size.width() * p.scale));
    while (col < 255 && x >= sheet.columnPixels(col))
        x -= sheet.columnPixels(col++);
    a.colRight = col;
    a.dxRight = std::min(1023, x * 1024 / sheet.columnPixels(col));

    int row = p.row + p.offsetY / kRowPixels;
    int y = p.offsetY % kRowPixels;
    a.rowTop = std::min(row, 65535);
    a.dyTop = y * 256 / kRowPixels;
    y += int(std::lround(size.height() * p.scale));
    row += y / kRowPixels;
    a.rowBottom = std::min(row, 65535);
    a.dyBottom = (y % kRowPixels) * 256 / kRowPixels;
    return a;
}

}  // namespace measure::workbook
