#include "measurement_workbook.h"

#include "calibration_profiles.h"
#include "workbook/xls_book.h"

#include "base/text_lookup.h"

#include <cmath>

namespace measure {

namespace {

// "0.000" for three decimals.
QString numberFormat(int decimals)
{
    return decimals > 0 ? QLatin1String("0.") + QString(decimals, QLatin1Char('0')) : QStringLiteral("0");
}

}  // namespace

QString scaleDescription(const MeasureState& settings)
{
    if (!settings.isCalibrated())
        return base::uiText("WorkbookNoScale", "Scale: none (not calibrated)");
    QString made = profileDisplayName(settings.calibrationName);
    if (settings.calibrationSize.isValid())
        made += QStringLiteral(", %1 x %2").arg(settings.calibrationSize.width()).arg(settings.calibrationSize.height());
    return base::uiText("WorkbookScale", "Scale: %1 pixels per %2 (%3)")
        .arg(QString::number(settings.scalePixels / settings.scaleLength, 'f', 4), settings.unit, made);
}

QString writeMeasurementWorkbook(const QString& path, const std::vector<ExportMeasurement>& measurements,
                                 const MeasureState& settings, const QString& picturePath)
{
    workbook::Book book;
    workbook::Sheet* sheet = book.addSheet(QStringLiteral("Sheet1"));
    const QStringList header = exportHeader();
    for (int c = 0; c < header.size(); ++c)
        sheet->writeStr(0, c, header[c]);
    sheet->writeStr(0, kExportColumns + 1, scaleDescription(settings));
    int row = 1;
    for (const ExportMeasurement& m : measurements) {
        for (int c = 0; c < kExportColumns; ++c) {
            // A value is a number a spreadsheet can compute with: the value
            // as its text shows it (so sums match what is read), in a format
            // with as many decimals. The name, the unit and a value that is
            // not a finite number stay text.
            const QString text = workbookCell(m, c, settings);
            const int decimals = workbookDecimals(m, c);
            bool isNumber = false;
            const double shown = text.toDouble(&isNumber);
            if (decimals >= 0 && isNumber && std::isfinite(shown))
                sheet->writeNum(row, c, shown, numberFormat(decimals));
            else if (!text.isEmpty())
                sheet->writeStr(row, c, text);
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
