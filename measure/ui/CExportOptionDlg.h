#pragma once

#include "measure/core/picture_options.h"

#include <QDialog>

class QButtonGroup;
class QCheckBox;

namespace measure {

// The export's picture options: full, half or a third of the picture's
// size, whether the measurements are imprinted, and the DPI.
class CExportOptionDlg : public QDialog {
    Q_OBJECT
public:
    CExportOptionDlg(QSize pictureSize, const measure::PictureOptions& offered, QWidget* parent = nullptr);

    measure::PictureOptions options() const;

private:
    QButtonGroup* m_sizes;
    QButtonGroup* m_dpis;
    QCheckBox* m_imprint;
};

}  // namespace measure
