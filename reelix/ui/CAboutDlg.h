#pragma once

#include <QDialog>

namespace reelix {

// "About Reelix": the program's name, version and what it does.
class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* parent = nullptr);
};

}  // namespace reelix
