#pragma once

#include <QDialog>

namespace shell {

// The about box: program name and version, copyright line.
class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* parent = nullptr);

    static QString version() { return QStringLiteral("7.0.1"); }
};

}  // namespace shell
