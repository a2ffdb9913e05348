#pragma once

#include <QDialog>

class QListWidget;
class QMdiArea;

namespace shell {

// "Open windows": every window of the main window's area, to bring one to
// the front or close some.
class CWindowsDlg : public QDialog {
    Q_OBJECT
public:
    explicit CWindowsDlg(QMdiArea* area, QWidget* parent = nullptr);

    QListWidget* list() const { return m_list; }
    void activateSelected();
    void closeSelected();

private:
    void fill();

    QMdiArea* m_area;
    QListWidget* m_list;
};

}  // namespace shell
