#include "xls_book.h"

#include "biff_writer.h"
#include "compound_file.h"

#include "platform/atomic_file.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>

#include <algorithm>
#include <cmath>

namespace measure::workbook {

namespace {

constexpr int kRows = 65536;
constexpr int kColumns = 256;
constexpr double kDefaultWidth = 8.43;  // characters
constexpr int kDigitPixels = 7;         // the default font's widest digit

}  // namespace

bool Sheet::writeStr(int row, int col, const QString& text)
{
    if (row < 0 || row >= kRows || col < 0 || col >= kColumns)
        return false;
    m_cells[{row, col}] = {text, std::nullopt, {}};
    return true;
}

bool Sheet::writeNum(int row, int col, double value, const QString& numberFormat)
{
    if (row < 0 || row >= kRows || col < 0 || col >= kColumns || !std::isfinite(value))
        return false;
    m_cells[{row, col}] = {{}, value, numberFormat};
    return true;
}

QString Sheet::readStr(int row, int col) const
{
    const auto it = m_cells.find({row, col});
    return it == m_cells.end() ? QString() : it->second.text;
}

std::optional<double> Sheet::readNum(int row, int col) const
{
    const auto it = m_cells.find({row, col});
    return it == m_cells.end() ? std::nullopt : it->second.number;
}

bool Sheet::setPicture(int row, int col, int pictureId, double scale, int offsetX, int offsetY)
{
    if (row < 0 || row >= kRows || col < 0 || col >= kColumns || pictureId < 0 || scale <= 0)
        return false;
    m_pictures.push_back({row, col, pictureId, std::max(0, offsetX), std::max(0, offsetY), scale});
    return true;
}

void Sheet::setColWidth(int colFirst, int colLast, double width)
{
    for (int c = std::max(0, colFirst); c <= std::min(colLast, kColumns - 1); ++c)
        m_widths[c] = std::clamp(width, 0.0, 255.0);
}

int Sheet::columnPixels(int col) const
{
    const auto it = m_widths.find(col);
    const double chars = it == m_widths.end() ? kDefaultWidth : it->second;
    return int(std::floor((256 * chars + std::floor(128.0 / kDigitPixels)) / 256 * kDigitPixels));
}

Book::Book() = default;
Book::~Book() = default;

Sheet* Book::addSheet(const QString& name)
{
    if (name.isEmpty() || name.size() > 31)
        return nullptr;
    for (const auto& s : m_sheets) {
        if (s->name().compare(name, Qt::CaseInsensitive) == 0)
            return nullptr;
    }
    m_sheets.push_back(std::unique_ptr<Sheet>(new Sheet(name)));
    return m_sheets.back().get();
}

Sheet* Book::sheet(int index) const
{
    return index >= 0 && index < sheetCount() ? m_sheets[size_t(index)].get() : nullptr;
}

int Book::addPicture(const QString& path)
{
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    const QImage image = reader.read();
    if (image.isNull()) {
        m_error = QStringLiteral("cannot read the picture %1: %2").arg(path, reader.errorString());
        return -1;
    }
    return addPicture(image);
}

int Book::addPicture(const QImage& image)
{
    if (image.isNull())
        return -1;
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG")) {
        m_error = QStringLiteral("cannot encode the picture");
        return -1;
    }
    m_pictures.push_back({png, image.size()});
    return int(m_pictures.size()) - 1;
}

bool Book::save(const QString& path)
{
    if (m_sheets.empty()) {
        m_error = QStringLiteral("a workbook needs a sheet");
        return false;
    }
    const QByteArray bytes = toBytes();
    if (bytes.isEmpty()) {
        m_error = QStringLiteral("the workbook is too large");
        return false;
    }
    if (!platform::writeFileAtomically(path, bytes)) {
        m_error = QStringLiteral("cannot write %1").arg(path);
        return false;
    }
    m_error.clear();
    return true;
}

QByteArray Book::toBytes() const
{
    return compoundFileWithStream(QStringLiteral("Workbook"), BookWriter(*this).stream());
}

}  // namespace measure::workbook
