#pragma once

#include <QString>
#include <QStringList>

namespace shell {

// File names of the calibration profiles: the ".txt" files of the
// calibration folder, in name order.
QStringList listCalibrationFiles(const QString& calibrationFolder);

}  // namespace shell
