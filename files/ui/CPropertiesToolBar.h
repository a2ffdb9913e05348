#pragma once

#include <QToolBar>

namespace files {

// The folder pane's toolbar under the folder list: pictures or clips in the
// browser, the current folder in the file manager, the next folder order.
// Each action carries its command id as data; all are always enabled.
class CPropertiesToolBar : public QToolBar {
    Q_OBJECT
public:
    explicit CPropertiesToolBar(QWidget* parent = nullptr);

    QAction* action(int id) const;
    // Tooltips from the language file of this run.
    void relabel();

Q_SIGNALS:
    void commandTriggered(int id);
};

}  // namespace files
