// Workbooks read back by other programs: xlrd for the cells and their
// formats, LibreOffice for the pictures and the cells as shown (each test
// skips when its reader is not installed).
#include "measure/core/export_rows.h"
#include "measure/core/measurement_workbook.h"
#include "measure/core/shape_list.h"
#include "measure/core/shapes.h"
#include "measure/core/video_shape.h"
#include "measure/core/workbook/compound_file.h"
#include "measure/core/workbook/xls_book.h"

#include "sandbox.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include <cmath>
#include <limits>

#include <gtest/gtest.h>

using namespace measure::workbook;

// Failures show the cells as JSON.
static void PrintTo(const QJsonArray& a, std::ostream* os)
{
    *os << QJsonDocument(a).toJson(QJsonDocument::Compact).toStdString();
}

namespace {

// A finished live record through `pts` (frame pixels, the last the label anchor).
std::unique_ptr<measure::CShape> liveRecord(int tool, const std::vector<QPoint>& pts)
{
    auto r = measure::makeShape(tool, Qt::red, Qt::red, QString(), QSize(640, 480), pts, 1, 1);
    r->live = true;
    r->inProgress = 0;
    r->remeasure();
    return r;
}

const QString kReader = QStringLiteral(VELLUMET_SOURCE_DIR "/tests/measure/read_workbook.py");

// The reader's JSON, or a skip when it is not installed.
QJsonObject readBack(const char* what, const QString& path, bool* skipped)
{
    // Debian's own Python, which has Debian's xlrd (another may come first on the path).
    const QString python = QFile::exists(QStringLiteral("/usr/bin/python3")) ? QStringLiteral("/usr/bin/python3")
                                                                             : QStringLiteral("python3");
    QProcess p;
    p.start(python, {kReader, QLatin1String(what), path});
    *skipped = false;
    if (!p.waitForFinished(180000) || p.exitStatus() != QProcess::NormalExit) {
        ADD_FAILURE() << what << ": the reader did not finish";
        return {};
    }
    if (p.exitCode() == 77) {
        *skipped = true;
        return {};
    }
    EXPECT_EQ(p.exitCode(), 0) << what << ": " << p.readAllStandardError().toStdString();
    return QJsonDocument::fromJson(p.readAllStandardOutput()).object();
}

// The cells of a reader's answer by (row, column): xlrd's [value, kind,
// format] or LibreOffice's [shown text].
std::map<std::pair<int, int>, QJsonArray> cellsOf(const QJsonArray& cells)
{
    std::map<std::pair<int, int>, QJsonArray> out;
    for (const QJsonValue cell : cells) {
        const QJsonArray c = cell.toArray();
        QJsonArray rest;
        for (qsizetype i = 2; i < c.size(); ++i)
            rest.append(c[i]);
        out[{c[0].toInt(), c[1].toInt()}] = rest;
    }
    return out;
}

QJsonArray numberCell(double value, const QString& format)
{
    return {value, QStringLiteral("number"), format};
}

QJsonArray textCell(const QString& text)
{
    return {text, QStringLiteral("text"), QStringLiteral("General")};
}

QImage testPicture(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, qRgb(x * 255 / w, y * 255 / h, (x ^ y) & 0xFF));  // hard to compress
    return img;
}

}  // namespace

TEST(Workbook, CompoundFileHeaderAndSectors)
{
    const QByteArray small = compoundFileWithStream(QStringLiteral("Workbook"), QByteArray(100, 'x'));
    ASSERT_EQ(small.size() % 512, 0);
    EXPECT_TRUE(small.startsWith(QByteArray::fromHex("D0CF11E0A1B11AE1")));
    // Header, eight stream sectors (padded to 4096), the directory, one FAT sector.
    EXPECT_EQ(small.size(), 512 * (1 + 8 + 1 + 1));
    const QByteArray big = compoundFileWithStream(QStringLiteral("Workbook"), QByteArray(200000, 'y'));
    EXPECT_EQ(big.size(), 512 * (1 + 391 + 1 + 4));  // 396 sectors need four FAT sectors
}

TEST(Workbook, CellsReadBackByAnotherReader)
{
    testing_support::Sandbox box;
    Book book;
    Sheet* sheet = book.addSheet(QStringLiteral("Sheet1"));
    ASSERT_TRUE(sheet);
    EXPECT_FALSE(book.addSheet(QStringLiteral("sheet1")));  // names are unique, ignoring case
    EXPECT_FALSE(sheet->writeStr(70000, 0, QStringLiteral("x")));
    const QStringList header{"Name", "Length", "Radius1", "Radius2", "Diameter", "Angle", "Perimeter", "Area", "Unit"};
    for (int c = 0; c < header.size(); ++c)
        sheet->writeStr(0, c, header[c]);
    sheet->writeStr(1, 0, QStringLiteral("PG0"));
    sheet->writeStr(1, 7, QStringLiteral("12.500"));
    sheet->writeStr(1, 8, QStringLiteral("µm²"));
    // Enough different texts that the string table goes on over several records.
    for (int r = 0; r < 1500; ++r)
        sheet->writeStr(2 + r, 1, QStringLiteral("%1 Messung %2").arg(r).arg(QString(r % 40, QChar(0x00E9))));
    sheet->writeStr(1600, 2, QString(9000, QChar('L')));  // one text longer than a record
    const QString path = box.path() + QLatin1String("/cells.xls");
    ASSERT_TRUE(book.save(path)) << book.errorMessage().toStdString();

    bool skipped = false;
    const QJsonObject read = readBack("cells", path, &skipped);
    if (skipped)
        GTEST_SKIP() << "python3-xlrd is not installed (tools/setup.sh installs it)";
    EXPECT_EQ(read["sheets"].toArray(), QJsonArray{QStringLiteral("Sheet1")});
    std::map<std::pair<int, int>, QString> got;
    for (const QJsonValue cell : read["cells"].toObject()["Sheet1"].toArray()) {
        const QJsonArray c = cell.toArray();
        got[{c[0].toInt(), c[1].toInt()}] = c[2].toString();
    }
    EXPECT_EQ(got.size(), size_t(header.size() + 3 + 1500 + 1));
    EXPECT_EQ(got[std::make_pair(0, 3)], QStringLiteral("Radius2"));
    EXPECT_EQ(got[std::make_pair(1, 8)], QStringLiteral("µm²"));
    EXPECT_EQ(got[std::make_pair(1501, 1)], QStringLiteral("1499 Messung ") + QString(1499 % 40, QChar(0x00E9)));
    EXPECT_EQ(got[std::make_pair(1600, 2)], QString(9000, QChar('L')));
}

TEST(Workbook, NumberCellsShowTheirFormat)
{
    testing_support::Sandbox box;
    Book book;
    Sheet* sheet = book.addSheet(QStringLiteral("Sheet1"));
    ASSERT_TRUE(sheet);
    EXPECT_TRUE(sheet->writeNum(0, 0, 16.667, QStringLiteral("0.000")));
    EXPECT_TRUE(sheet->writeNum(0, 1, 45, QStringLiteral("0.0")));
    EXPECT_TRUE(sheet->writeNum(0, 2, 2.5));                           // General
    EXPECT_TRUE(sheet->writeNum(0, 3, 1.25, QStringLiteral("0.00")));  // a built-in format
    EXPECT_TRUE(sheet->writeStr(0, 4, QStringLiteral("mm")));
    EXPECT_TRUE(sheet->writeNum(1, 0, 0.1, QStringLiteral("0.000")));  // a format used again
    EXPECT_TRUE(sheet->writeNum(1, 1, 123456.25, QStringLiteral("0.0000")));
    EXPECT_TRUE(sheet->writeStr(1, 2, QStringLiteral("replaced")));
    EXPECT_TRUE(sheet->writeNum(1, 2, -7, QStringLiteral("0.0")));
    EXPECT_FALSE(sheet->writeNum(70000, 0, 1.0));
    EXPECT_FALSE(sheet->writeNum(2, 0, std::nan("")));
    EXPECT_FALSE(sheet->writeNum(2, 0, HUGE_VAL));
    EXPECT_EQ(sheet->readNum(0, 1), 45.0);
    EXPECT_EQ(sheet->readNum(0, 4), std::nullopt);
    EXPECT_EQ(sheet->readStr(0, 4), QStringLiteral("mm"));
    EXPECT_EQ(sheet->readStr(1, 2), QString());
    EXPECT_EQ(sheet->readNum(1, 2), -7.0);
    const QString path = box.path() + QLatin1String("/numbers.xls");
    ASSERT_TRUE(book.save(path)) << book.errorMessage().toStdString();

    bool skipped = false;
    const QJsonObject read = readBack("cells", path, &skipped);
    if (!skipped) {
        auto got = cellsOf(read["cells"].toObject()["Sheet1"].toArray());
        EXPECT_EQ(got.size(), 8u);
        EXPECT_EQ(got[std::make_pair(0, 0)], numberCell(16.667, QStringLiteral("0.000")));
        EXPECT_EQ(got[std::make_pair(0, 1)], numberCell(45, QStringLiteral("0.0")));
        EXPECT_EQ(got[std::make_pair(0, 2)], numberCell(2.5, QStringLiteral("General")));
        EXPECT_EQ(got[std::make_pair(0, 3)], numberCell(1.25, QStringLiteral("0.00")));
        EXPECT_EQ(got[std::make_pair(0, 4)], textCell(QStringLiteral("mm")));
        EXPECT_EQ(got[std::make_pair(1, 0)], numberCell(0.1, QStringLiteral("0.000")));
        EXPECT_EQ(got[std::make_pair(1, 1)], numberCell(123456.25, QStringLiteral("0.0000")));
        EXPECT_EQ(got[std::make_pair(1, 2)], numberCell(-7, QStringLiteral("0.0")));
    }
    const QJsonObject shown = readBack("shown", path, &skipped);
    if (skipped)
        GTEST_SKIP() << "LibreOffice is not installed (tools/setup.sh installs it)";
    auto text = cellsOf(shown["cells"].toArray());
    EXPECT_EQ(text[std::make_pair(0, 0)], QJsonArray{QStringLiteral("16.667")});
    EXPECT_EQ(text[std::make_pair(0, 1)], QJsonArray{QStringLiteral("45.0")});
    EXPECT_EQ(text[std::make_pair(0, 2)], QJsonArray{QStringLiteral("2.5")});
    EXPECT_EQ(text[std::make_pair(0, 3)], QJsonArray{QStringLiteral("1.25")});
    EXPECT_EQ(text[std::make_pair(0, 4)], QJsonArray{QStringLiteral("mm")});
    EXPECT_EQ(text[std::make_pair(1, 0)], QJsonArray{QStringLiteral("0.100")});
    EXPECT_EQ(text[std::make_pair(1, 1)], QJsonArray{QStringLiteral("123456.2500")});
    EXPECT_EQ(text[std::make_pair(1, 2)], QJsonArray{QStringLiteral("-7.0")});
}

TEST(Workbook, PictureOnACellOpensInLibreOffice)
{
    testing_support::Sandbox box;
    Book book;
    Sheet* sheet = book.addSheet(QStringLiteral("Sheet1"));
    sheet->writeStr(0, 0, QStringLiteral("Name"));
    sheet->writeStr(1, 0, QStringLiteral("DL0"));
    const QString file = box.path() + QLatin1String("/tmpPic.bmp");
    ASSERT_TRUE(testPicture(320, 240).save(file, "BMP"));
    const int id = book.addPicture(file);  // big enough to need continued drawing records
    ASSERT_GE(id, 0);
    EXPECT_EQ(book.addPicture(box.path() + QLatin1String("/missing.bmp")), -1);
    ASSERT_TRUE(sheet->setPicture(3, 0, id, 1.0));
    const QString path = box.path() + QLatin1String("/picture.xls");
    ASSERT_TRUE(book.save(path)) << book.errorMessage().toStdString();

    bool skipped = false;
    const QJsonObject cells = readBack("cells", path, &skipped);
    if (!skipped) {
        EXPECT_EQ(cells["cells"].toObject()["Sheet1"].toArray().size(), 2);
    }
    const QJsonObject read = readBack("pictures", path, &skipped);
    if (skipped)
        GTEST_SKIP() << "LibreOffice is not installed (tools/setup.sh installs it)";
    const QJsonArray pictures = read["pictures"].toArray();
    ASSERT_EQ(pictures.size(), 1);
    const QJsonObject p = pictures[0].toObject();
    EXPECT_EQ(p["row"].toInt(), 3);
    EXPECT_EQ(p["col"].toInt(), 0);
    EXPECT_EQ(p["width"].toInt(), 320);
    EXPECT_EQ(p["height"].toInt(), 240);
}

TEST(Workbook, SavingOverAnOpenPathFailsCleanly)
{
    testing_support::Sandbox box;
    Book empty;
    EXPECT_FALSE(empty.save(box.path() + QLatin1String("/none.xls")));  // no sheet
    Book book;
    book.addSheet(QStringLiteral("Sheet1"));
    EXPECT_FALSE(book.save(box.path() + QLatin1String("/no/such/folder/x.xls")));
    EXPECT_FALSE(book.errorMessage().isEmpty());
    const QString path = box.path() + QLatin1String("/twice.xls");
    ASSERT_TRUE(book.save(path));
    book.sheet(0)->writeStr(0, 0, QStringLiteral("second"));
    ASSERT_TRUE(book.save(path));  // replaces the first
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), book.toBytes());
}

// The measurement rows, with the default scale of 10 mm in 60 pixels.
TEST(MeasurementWorkbook, TwoLinesAndAPolygonWithPictureBelow)
{
    using namespace measure;
    testing_support::Sandbox box;
    MeasureState settings;
    settings.calibrationName = QStringLiteral("10x.txt");
    settings.calibrationSize = QSize(640, 480);
    ShapeList shapes;
    const QSize picture(640, 480);
    const auto add = [&](int tool, std::vector<QPoint> pts) -> CShape& {
        shapes.append(makeShape(tool, Qt::red, Qt::red, QString(), picture, pts, 1, 1));
        return shapes.at(shapes.size() - 1);
    };
    add(ToolLine, {{0, 0}, {60, 0}, {5, 5}});
    add(ToolText, {{10, 10}}).text = QStringLiteral("not exported");
    add(ToolLine, {{0, 0}, {0, 30}, {5, 5}});
    add(ToolPolygon, {{10, 10}, {50, 10}, {50, 40}});  // perimeter 120 pixels, area 600 square pixels
    CShape& angle = add(ToolFAngle, {{0, 0}, {10, 0}, {0, 0}, {10, 10}, {20, 20}});

    const std::vector<ExportMeasurement> rows = pictureMeasurements(shapes, settings);
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0].name, QStringLiteral("DL0"));
    EXPECT_EQ(workbookCell(rows[0], 1, settings), QStringLiteral("10.000"));
    EXPECT_EQ(rows[1].name, QStringLiteral("DL1"));
    EXPECT_EQ(rows[1].source, 2);
    EXPECT_EQ(workbookCell(rows[1], 1, settings), QStringLiteral("5.000"));
    EXPECT_EQ(rows[2].name, QStringLiteral("PG0"));
    EXPECT_EQ(workbookCell(rows[2], 6, settings), QStringLiteral("20.000"));  // 120 / 6
    EXPECT_EQ(workbookCell(rows[2], 7, settings), QStringLiteral("16.667"));  // 600 / 36
    EXPECT_EQ(workbookCell(rows[2], 1, settings), QString());
    EXPECT_EQ(workbookCell(rows[2], 8, settings), QStringLiteral("mm"));
    EXPECT_EQ(workbookCell(rows[3], 5, settings), QStringLiteral("45.0"));
    EXPECT_NEAR(angle.value1, 45.0, 1e-5);

    // A slot's four points angle keeps three decimals; its circle-to-circle
    // records and diameters as kept.
    VideoShapeList records;
    records.push_back(liveRecord(ToolFAngle, {{10, 10}, {100, 10}, {10, 20}, {100, 110}, {5, 5}}));
    records.push_back(liveRecord(ToolTCircle, {{10, 10}, {30, 10}, {70, 40}, {90, 40}, {5, 5}}));
    records.push_back(liveRecord(ToolCircle, {{10, 10}, {70, 10}, {5, 5}}));  // 60 pixels across
    const std::vector<ExportMeasurement> slot = slotMeasurements(records, settings);
    ASSERT_EQ(slot.size(), 2u);
    EXPECT_EQ(workbookCell(slot[0], 5, settings), QStringLiteral("45.000"));
    EXPECT_EQ(slot[1].name, QStringLiteral("DC0"));
    EXPECT_EQ(workbookCell(slot[1], 4, settings), QStringLiteral("10.000"));
    EXPECT_EQ(workbookCell(slot[1], 6, settings), QStringLiteral("31.416"));

    const QString picturePath = workbookPicturePath(box.path());
    ASSERT_TRUE(testPicture(64, 48).save(picturePath, "BMP"));
    const QString path = workbookPath(box.path());
    ASSERT_EQ(writeMeasurementWorkbook(path, rows, settings, picturePath), QString());
    bool skipped = false;
    const QJsonObject cells = readBack("cells", path, &skipped);
    if (!skipped) {
        // Values are numbers as their text shows them (16.667, not 16.6666...),
        // in a format with as many decimals; names and units stay text.
        auto got = cellsOf(cells["cells"].toObject()["Sheet1"].toArray());
        EXPECT_EQ(got[std::make_pair(0, 0)], textCell(QStringLiteral("Name")));
        EXPECT_EQ(got[std::make_pair(0, kExportColumns + 1)],
                  textCell(QStringLiteral("Scale: 6.0000 pixels per mm (10x, 640 x 480)")));
        EXPECT_EQ(got[std::make_pair(1, 1)], numberCell(10, QStringLiteral("0.000")));
        EXPECT_EQ(got[std::make_pair(3, 0)], textCell(QStringLiteral("PG0")));
        EXPECT_EQ(got[std::make_pair(3, 6)], numberCell(20, QStringLiteral("0.000")));
        EXPECT_EQ(got[std::make_pair(3, 7)], numberCell(16.667, QStringLiteral("0.000")));
        EXPECT_EQ(got[std::make_pair(3, 8)], textCell(QStringLiteral("mm")));
        EXPECT_EQ(got[std::make_pair(4, 5)], numberCell(45, QStringLiteral("0.0")));
        EXPECT_EQ(got.count(std::make_pair(3, 1)), 0u);  // a polygon has no length
    }
    // What a spreadsheet shows is the text of every cell, unchanged.
    const QJsonObject shown = readBack("shown", path, &skipped);
    if (!skipped) {
        std::map<std::pair<int, int>, QJsonArray> expected;
        for (int c = 0; c < kExportColumns; ++c)
            expected[{0, c}] = QJsonArray{exportHeader()[c]};
        expected[{0, kExportColumns + 1}] = QJsonArray{scaleDescription(settings)};
        for (size_t r = 0; r < rows.size(); ++r) {
            for (int c = 0; c < kExportColumns; ++c) {
                const QString text = workbookCell(rows[r], c, settings);
                if (!text.isEmpty())
                    expected[{int(r) + 1, c}] = QJsonArray{text};
            }
        }
        EXPECT_EQ(cellsOf(shown["cells"].toArray()), expected);
    }
    const QJsonObject pictures = readBack("pictures", path, &skipped);
    if (skipped)
        GTEST_SKIP() << "LibreOffice is not installed";
    ASSERT_EQ(pictures["pictures"].toArray().size(), 1);
    EXPECT_EQ(pictures["pictures"].toArray()[0].toObject()["row"].toInt(), 6);  // four rows, one empty

    // No measurements: the header, one empty row, the picture on row 2.
    ASSERT_EQ(writeMeasurementWorkbook(path, {}, settings, picturePath), QString());
    const QJsonObject empty = readBack("pictures", path, &skipped);
    EXPECT_EQ(empty["pictures"].toArray()[0].toObject()["row"].toInt(), 2);
}

// A slot's four points angle shows three decimals; a value that is not a
// number stays the text it reads.
TEST(MeasurementWorkbook, SlotAngleAndNonNumbers)
{
    using namespace measure;
    testing_support::Sandbox box;
    MeasureState settings;
    settings.unit = QStringLiteral("µm");
    VideoShapeList records;
    records.push_back(liveRecord(ToolFAngle, {{10, 10}, {100, 10}, {10, 20}, {100, 110}, {5, 5}}));
    std::vector<ExportMeasurement> rows = slotMeasurements(records, settings);
    ExportMeasurement broken;
    broken.kind = KindLine, broken.name = QStringLiteral("DL0");
    broken.value[ColLength] = std::numeric_limits<double>::infinity(), broken.filled[ColLength] = true;
    rows.push_back(broken);
    EXPECT_EQ(workbookDecimals(rows[0], ColAngle), 3);
    EXPECT_EQ(workbookDecimals(rows[0], ColLength), -1);
    EXPECT_EQ(workbookDecimals(rows[0], ColName), -1);
    EXPECT_EQ(workbookDecimals(rows[0], ColUnit), -1);

    const QString path = workbookPath(box.path());
    ASSERT_EQ(writeMeasurementWorkbook(path, rows, settings, QString()), QString());
    bool skipped = false;
    const QJsonObject cells = readBack("cells", path, &skipped);
    if (!skipped) {
        auto got = cellsOf(cells["cells"].toObject()["Sheet1"].toArray());
        EXPECT_EQ(got[std::make_pair(1, 0)], textCell(QStringLiteral("FA0")));
        EXPECT_EQ(got[std::make_pair(1, 5)], numberCell(45, QStringLiteral("0.000")));
        EXPECT_EQ(got[std::make_pair(1, 8)], textCell(QStringLiteral("µm")));
        EXPECT_EQ(got[std::make_pair(2, 1)], textCell(workbookCell(broken, ColLength, settings)));
    }
    const QJsonObject shown = readBack("shown", path, &skipped);
    if (skipped)
        GTEST_SKIP() << "LibreOffice is not installed";
    auto text = cellsOf(shown["cells"].toArray());
    EXPECT_EQ(text[std::make_pair(1, 5)], QJsonArray{QStringLiteral("45.000")});
    EXPECT_EQ(text[std::make_pair(1, 8)], QJsonArray{QStringLiteral("µm")});
}
