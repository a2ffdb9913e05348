#pragma once

#include <QString>
#include <QStringList>

namespace shell {

// File names of the calibration profiles: the ".txt" files of the
// calibration folder, in name order.
QStringList listCalibrationFiles(const QString& calibrationFolder);

// The name the calibration box shows: up to the first "." if there is one.
QString calibrationDisplayName(const QString& profileName);

}  // namespace shell
