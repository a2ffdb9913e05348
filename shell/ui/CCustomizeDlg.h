#pragma once

#include <QDialog>

class QListWidget;
class QListWidgetItem;

namespace shell {

class CommandRouter;
class UserToolbars;

// "Customize": make, rename and delete toolbars of one's own and choose the
// commands on each.
class CCustomizeDlg : public QDialog {
    Q_OBJECT
public:
    CCustomizeDlg(UserToolbars& toolbars, CommandRouter& router, const QList<int>& commands, QWidget* parent = nullptr);

    QListWidget* toolbarList() const { return m_toolbars; }
    QListWidget* commandList() const { return m_commands; }

    void newToolbar(const QString& name);
    void renameToolbar(const QString& name);
    void deleteToolbar();

private:
    void fillToolbars(int select);
    void showCommandsOfSelected();
    void commandToggled(QListWidgetItem* item);
    int selectedToolbar() const;

    UserToolbars& m_userToolbars;
    QListWidget* m_toolbars;
    QListWidget* m_commands;
    bool m_filling = false;
};

}  // namespace shell
