#pragma once

#include <QDialog>

class QLineEdit;

namespace measure {

// Asks the spacing of a grid overlay, in the active unit.
class CPitchDlg : public QDialog {
    Q_OBJECT
public:
    explicit CPitchDlg(const QString& unit, QWidget* parent = nullptr);

    QLineEdit* edit() const { return m_edit; }
    double pitch() const { return m_pitch; }
    QString pitchText() const { return m_pitchText; }

    void accept() override;

private:
    QLineEdit* m_edit;
    double m_pitch = 0;
    QString m_pitchText;
};

}  // namespace measure
