#include "calibration_files.h"

#include <QDir>

namespace shell {

QStringList listCalibrationFiles(const QString& calibrationFolder)
{
    QDir dir(calibrationFolder);
    dir.setNameFilters({QStringLiteral("*.txt")});
    dir.setFilter(QDir::Files | QDir::Hidden);
    dir.setSorting(QDir::Name | QDir::IgnoreCase);
    return dir.entryList();
}

}  // namespace shell
