#pragma once

#include "measure/core/tick_finder.h"

#include <QDialog>
#include <QImage>
#include <QLineF>
#include <QPointer>

#include <functional>
#include <optional>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace measure {

struct MeasureState;

// Making a calibration profile: the user draws a line of known length on the
// live picture (the view then posts "known line drawn" here), types its real
// length, unit and a profile name. Modeless, owned by the live view.
// Drawn over a stage micrometer, the line's ticks are found (at once when it
// crosses enough of them, or with Detect): the reference becomes the fitted
// length of the whole divisions found, and the user types one division's size.
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
    QPushButton* detectButton() const { return m_detect; }
    // "N divisions = L px", or that no scale was found; empty before Detect.
    QLabel* proposalLabel() const { return m_proposal; }
    QLineEdit* divisionEdit() const { return m_division; }

    // The picture the reference line is drawn on, as the window shows it now.
    void setPictureSource(std::function<QImage()> source);
    // The reference line in picture pixels, given before "known line drawn".
    void setReferenceLine(QLineF line);
    // Looks for the micrometer's ticks along the reference line.
    void detect();

    void accept() override;

Q_SIGNALS:
    // The new profile was written to `path` and is the active calibration.
    void profileSaved(const QString& path);
    // The ticks found along the reference line (none: nothing to show).
    void ticksFound(const measure::TickScale& scale);

protected:
    void customEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Looks along the line; a scale found becomes the reference.
    TickScale findScale() const;
    void propose(const TickScale& scale);
    // Length = divisions x the division size typed.
    void divisionTyped();

    MeasureState& m_state;
    std::function<QImage()> m_pictureSource;
    std::optional<QLineF> m_line;
    int m_divisions = 0;  // of the scale found, else 0
    QString m_settingsFolder;
    QPointer<QObject> m_mainWindow;
    QLineEdit* m_name;
    QLineEdit* m_magnification;
    QLineEdit* m_instruction;
    QLineEdit* m_length;
    QComboBox* m_unit;
    QLabel* m_proposal;
    QLineEdit* m_division;
    QPushButton* m_detect;
    QPushButton* m_ok;
};

}  // namespace measure
