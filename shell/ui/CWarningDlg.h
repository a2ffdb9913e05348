#pragma once

#include <QDialog>

class QCheckBox;
class QLabel;

namespace shell {

// "Warning": a message with OK and Cancel (CWarningDlg) or OK alone
// (CWarning2Dlg). Every confirmation and message of the program uses them.
class CWarningDlg : public QDialog {
    Q_OBJECT
public:
    enum class Buttons { OkCancel, OkOnly };

    CWarningDlg(const QString& text, Buttons buttons, QWidget* parent = nullptr);
    QString text() const;
    // Adds a tick box under the text ("do not ask again" and the like).
    void setRememberText(const QString& text);
    bool remembered() const;

private:
    QLabel* m_text;
    QCheckBox* m_remember = nullptr;
};

class CWarning2Dlg : public CWarningDlg {
    Q_OBJECT
public:
    explicit CWarning2Dlg(const QString& text, QWidget* parent = nullptr) : CWarningDlg(text, Buttons::OkOnly, parent) {}
};

}  // namespace shell
