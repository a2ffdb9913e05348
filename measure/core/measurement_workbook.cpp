#include "measurement_workbook.h"

#include "workbook/xls_book.h"

namespace measure {

QString writeMeasurementWorkbook(const QString& path, const std::vector<ExportMeasurement>& measurements,
                                 const MeasureState& settings, const QString& picturePath)
{
    workbook::Book book;
    workbook::Sheet* sheet = book.addSheet(QStringLiteral("Sheet1"));
    const QStringList header = exportHeader();
    for (int c = 0; c < header.size(); ++c)
        sheet->writeStr(0, c, header[c]);
    int row = 1;
    for (const ExportMeasurement& m : measurements) {
        for (int c = 0; c < kExportColumns; ++c) {
            const QString cell = workbookCell(m, c, settings);
            if (!cell.isEmpty())
                sheet->writeStr(row, c, cell);
        }
        ++row;
    }
    sheet->setColWidth(0, kExportColumns - 1, 11);
    if (!picturePath.isEmpty()) {
        const int picture = book.addPicture(picturePath);
        if (picture >= 0)
            sheet->setPicture(row + 1, 0, picture, 1.0);
    }
    return book.save(path) ? QString() : book.errorMessage();
}

QString workbookPath(const QString& saveRoot)
{
    return saveRoot + QLatin1String("/tmpExcel.xls");
}

QString workbookPicturePath(const QString& saveRoot)
{
    return saveRoot + QLatin1String("/tmpPic.bmp");
}

}  // namespace measure
