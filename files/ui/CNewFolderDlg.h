#pragma once

#include <QDialog>

#include <functional>

class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace base {
struct AppSettings;
}

namespace files {

// New Folder: a saved-files folder with its Picture and Video folders and a
// note, under "SaveFile" in a location the user chooses. The new folder
// becomes the current one and the main window is told to rebuild the
// folder pane (1168).
class CNewFolderDlg : public QDialog {
    Q_OBJECT
public:
    // Asks for a folder, starting at the given one; empty when cancelled.
    using FolderChooser = std::function<QString(QWidget* parent, const QString& start)>;

    CNewFolderDlg(base::AppSettings& settings, QObject* mainWindow, QWidget* parent = nullptr);

    QLineEdit* locationEdit() const { return m_location; }
    QLineEdit* nameEdit() const { return m_name; }
    QPlainTextEdit* noteEdit() const { return m_note; }
    QPushButton* changeButton() const { return m_change; }
    // Tests answer in place of the desktop's folder dialog.
    void setFolderChooser(FolderChooser chooser) { m_chooseFolder = std::move(chooser); }

    void changeLocation();
    void accept() override;

private:
    base::AppSettings& m_settings;
    QObject* m_mainWindow;
    QLineEdit* m_location;
    QLineEdit* m_name;
    QPlainTextEdit* m_note;
    QPushButton* m_change;
    FolderChooser m_chooseFolder;
};

}  // namespace files
