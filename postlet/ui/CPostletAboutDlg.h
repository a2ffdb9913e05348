#pragma once

#include <QDialog>

namespace postlet {

// The about box: program name and version.
class CPostletAboutDlg : public QDialog {
    Q_OBJECT
public:
    explicit CPostletAboutDlg(QWidget* parent = nullptr);

    static QString version() { return QStringLiteral("1.0"); }
};

}  // namespace postlet
