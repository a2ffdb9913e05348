#pragma once

#include "biff_records.h"
#include "office_drawing.h"
#include "xls_book.h"

#include <QHash>

namespace measure::workbook {

// Lays a book out as a BIFF8 workbook stream: the globals (fonts, formats,
// the sheet list, the pictures, the shared strings), then each sheet.
class BookWriter {
public:
    explicit BookWriter(const Book& book) : m_book(book) {}
    QByteArray stream();

private:
    // A cell format for the number format `code` (a FORMAT record too
    // unless it is built in).
    void addNumberFormat(const QString& code);
    void writeGlobals(std::vector<int>& sheetOffsetFields);
    void writeSharedStrings();
    void writeSheet(const Sheet& sheet, int sheetIndex);
    CellAnchor anchorOf(const Sheet& sheet, const Sheet::Placement& p) const;

    const Book& m_book;
    RecordStream m_out;
    QStringList m_strings;
    QHash<QString, int> m_stringIndex;
    int m_stringUses = 0;
    QHash<QString, int> m_xfOfFormat;                      // number format code -> cell format
    std::vector<std::pair<int, QString>> m_customFormats;  // id, code
    std::vector<int> m_cellXfFormats;                      // the number format of each cell format after the first
    std::vector<SheetDrawing> m_drawings;                  // one per sheet, empty when it has no picture
    int m_nextObjectId = 1;
};

}  // namespace measure::workbook
