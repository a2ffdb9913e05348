#pragma once

#include <QDialog>
#include <QPointer>

class QComboBox;
class QLineEdit;
class QPushButton;

namespace measure {

struct MeasureState;

// Making a calibration profile: the user draws a line of known length on the
// live picture (the view then posts "known line drawn" here), types its real
// length, unit and a profile name. Modeless, owned by the live view.
class CCalibrationDlg : public QDialog {
    Q_OBJECT
public:
    CCalibrationDlg(MeasureState& state, const QString& settingsFolder, QObject* mainWindow, QWidget* parent = nullptr);

    QLineEdit* nameEdit() const { return m_name; }
    QLineEdit* magnificationEdit() const { return m_magnification; }
    QLineEdit* lengthEdit() const { return m_length; }
    QComboBox* unitBox() const { return m_unit; }
    // "Please draw a known line", then the length of the line taken.
    QLineEdit* instructionLine() const { return m_instruction; }
    QPushButton* okButton() const { return m_ok; }

    void accept() override;

Q_SIGNALS:
    // The new profile was written to `path` and is the active calibration.
    void profileSaved(const QString& path);

protected:
    void customEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    MeasureState& m_state;
    QString m_settingsFolder;
    QPointer<QObject> m_mainWindow;
    QLineEdit* m_name;
    QLineEdit* m_magnification;
    QLineEdit* m_instruction;
    QLineEdit* m_length;
    QComboBox* m_unit;
    QPushButton* m_ok;
};

}  // namespace measure
