#pragma once

#include "files/core/folder_info.h"

#include <QDockWidget>
#include <QList>
#include <QPointer>

namespace base {
struct AppSettings;
}

namespace platform {
class PostedMessage;
}

class QVBoxLayout;

namespace files {

class CFloderComboBox;
class CPropertiesToolBar;

// The folder manager pane: the list of saved-files folders, where choosing
// one makes it the current folder, its toolbar, and below them the
// thumbnail browser of the current folder. The main window hands it the
// messages that rebuild the list (1168) and take a deleted folder off it
// (1169); it answers them itself as well.
class CPropertiesWnd : public QDockWidget {
    Q_OBJECT
public:
    static constexpr int kPaneId = 150;

    explicit CPropertiesWnd(base::AppSettings& settings, QWidget* parent = nullptr);

    CFloderComboBox* folderList() const { return m_list; }
    CPropertiesToolBar* toolBar() const { return m_toolBar; }
    // The folders in list order, as shown.
    const QList<FolderInfo>& folders() const { return m_folders; }

    // The thumbnail browser fills the pane under the toolbar; it is told
    // (1137) what to show: 0 pictures, 1 clips, 2 the current folder changed.
    void setBrowser(QWidget* browser);
    QWidget* browser() const { return m_browser; }

    // Reads the folder list again, orders it, selects the current folder and
    // tells the browser to reload.
    void rebuild();
    // Takes the folder at `location` off the list.
    void removeFolder(const QString& location);
    // The user picked entry `index`: that folder becomes the current one.
    void chooseFolder(int index);
    void openCurrentFolder();
    // The next folder order (stored, by creation time, by name), kept at once.
    void cycleOrder();
    void runCommand(int id);
    // Tooltips and title from the language file of this run.
    void relabel();

    // Answers 1168 and 1169; false for any other message.
    bool handleFolderMessage(platform::PostedMessage& message);

protected:
    void customEvent(QEvent* event) override;

private:
    void tellBrowser(int what);

    base::AppSettings& m_settings;
    CFloderComboBox* m_list;
    CPropertiesToolBar* m_toolBar;
    QVBoxLayout* m_browserArea;
    QPointer<QWidget> m_browser;
    QList<FolderInfo> m_folders;
};

}  // namespace files
