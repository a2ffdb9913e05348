// Workbooks read back by other programs: xlrd for the cells, LibreOffice for
// the pictures (each test skips when its reader is not installed).
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

#include <gtest/gtest.h>

using namespace measure::workbook;

namespace {

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
    CVideoShap fa, cc, dc;
    fa.kind = KindFAngle, fa.points = {{10, 10}, {100, 10}, {10, 20}, {100, 110}, {5, 5}};
    cc.kind = KindTCircle, cc.points = {{10, 10}, {30, 10}, {70, 40}, {90, 40}, {5, 5}};
    dc.kind = KindCircle, dc.points = {{10, 10}, {70, 10}, {5, 5}};  // 60 pixels across
    const std::vector<ExportMeasurement> slot = slotMeasurements({&fa, &cc, &dc}, settings);
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
        const QJsonArray got = cells["cells"].toObject()["Sheet1"].toArray();
        EXPECT_EQ(got[0].toArray()[2].toString(), QStringLiteral("Name"));
        EXPECT_TRUE(got.contains(QJsonArray{3, 0, QStringLiteral("PG0")}));
        EXPECT_TRUE(got.contains(QJsonArray{3, 7, QStringLiteral("16.667")}));
        EXPECT_TRUE(got.contains(QJsonArray{4, 5, QStringLiteral("45.0")}));
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
