#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

#include <map>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace measure::workbook {

class Book;

// One worksheet: text and number cells by row and column, pictures placed
// on cells.
class Sheet {
public:
    const QString& name() const { return m_name; }
    // False outside the sheet (65536 rows, 256 columns).
    bool writeStr(int row, int col, const QString& text);
    // A number shown with `numberFormat` ("0.000"; empty for General).
    // False outside the sheet and for values that are not finite.
    bool writeNum(int row, int col, double value, const QString& numberFormat = {});
    // The text of a text cell; empty for a number cell.
    QString readStr(int row, int col) const;
    // The value of a number cell; nothing for a text or empty cell.
    std::optional<double> readNum(int row, int col) const;
    // Places picture `pictureId` (from Book::addPicture) with its top-left
    // corner in cell (row, col), offset in pixels, at `scale`.
    bool setPicture(int row, int col, int pictureId, double scale = 1.0, int offsetX = 0, int offsetY = 0);
    // Column widths in characters (the default is 8.43).
    void setColWidth(int colFirst, int colLast, double width);

private:
    friend class Book;
    friend class BookWriter;
    struct Cell {
        QString text;
        std::optional<double> number;  // set for a number cell
        QString numberFormat;
    };
    struct Placement {
        int row, col, picture, offsetX, offsetY;
        double scale;
    };
    explicit Sheet(QString name) : m_name(std::move(name)) {}
    int columnPixels(int col) const;

    QString m_name;
    std::map<std::pair<int, int>, Cell> m_cells;  // (row, col) -> cell
    std::map<int, double> m_widths;               // column -> characters
    std::vector<Placement> m_pictures;
};

// An Excel 97-2003 workbook (BIFF8 in a compound file), written whole.
class Book {
public:
    Book();
    ~Book();

    // Null when the name is empty, over 31 characters or taken.
    Sheet* addSheet(const QString& name);
    Sheet* sheet(int index) const;
    int sheetCount() const { return int(m_sheets.size()); }
    // A picture for setPicture, from a file (BMP, JPEG, PNG) or in memory;
    // -1 when it cannot be read.
    int addPicture(const QString& path);
    int addPicture(const QImage& image);

    QByteArray toBytes() const;
    // Replaces `path` as a whole; false (and errorMessage) when it cannot.
    bool save(const QString& path);
    const QString& errorMessage() const { return m_error; }

private:
    struct Picture {
        QByteArray png;
        QSize size;
    };
    std::vector<std::unique_ptr<Sheet>> m_sheets;
    std::vector<Picture> m_pictures;
    QString m_error;

    friend class BookWriter;
};

}  // namespace measure::workbook
