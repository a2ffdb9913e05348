#pragma once

#include <QDialog>

class QButtonGroup;
class QCheckBox;

namespace measure {

// The export's picture options: full, half or a third of the picture's
// size, whether the measurements are imprinted, and the DPI.
class CExportOptionDlg : public QDialog {
    Q_OBJECT
public:
    CExportOptionDlg(QSize pictureSize, int sizeOption, bool imprint, int dpi, QWidget* parent = nullptr);

    int sizeOption() const;
    bool imprint() const;
    int dpi() const;

private:
    QButtonGroup* m_sizes;
    QButtonGroup* m_dpis;
    QCheckBox* m_imprint;
};

}  // namespace measure
