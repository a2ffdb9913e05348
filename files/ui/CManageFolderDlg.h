#pragma once

#include "files/core/folder_info.h"

#include <QDialog>
#include <QList>

#include <functional>

class QPushButton;
class QTableWidget;

namespace base {
struct AppSettings;
}

namespace files {

class CNewFolderDlg;

// Folder Manager: every saved-files folder with its creation time, note and
// what it holds. OK makes the chosen folder the current one; Delete moves it
// to the trash (asking first where no trash takes it) and tells the main
// window to take it off the folder pane (1169); New runs New Folder.
class CManageFolderDlg : public QDialog {
    Q_OBJECT
public:
    // Runs New Folder; tests answer it in place of the user.
    using NewFolderRunner = std::function<void(CNewFolderDlg& dialog)>;

    CManageFolderDlg(base::AppSettings& settings, QObject* mainWindow, QWidget* parent = nullptr);

    QTableWidget* table() const { return m_table; }
    QPushButton* newButton() const { return m_new; }
    QPushButton* deleteButton() const { return m_delete; }
    const QList<FolderInfo>& folders() const { return m_folders; }
    void setNewFolderRunner(NewFolderRunner runner) { m_runNewFolder = std::move(runner); }

    // Reads the folder list again; no row is chosen afterwards.
    void reload();
    void newFolder();
    void deleteFolder();
    // Opens the chosen folder: it becomes the current one. Closes in every case.
    void accept() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The folder of the chosen row, or nullptr.
    const FolderInfo* chosen() const;
    void fitColumns();

    base::AppSettings& m_settings;
    QObject* m_mainWindow;
    QTableWidget* m_table;
    QPushButton* m_new;
    QPushButton* m_delete;
    QList<FolderInfo> m_folders;
    NewFolderRunner m_runNewFolder;
};

}  // namespace files
