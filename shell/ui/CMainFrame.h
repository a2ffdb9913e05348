#pragma once

#include <QMainWindow>
#include <QStringList>
#include <QToolBar>

class QLabel;
class QLineEdit;
class QMdiArea;
class QMenu;

namespace shell {

class CFileView;
class CPropertiesWnd;
class CScoparaApp;
class CommandRouter;
class CommandTarget;
class UserToolbars;
struct LanguageCommand;

// The main toolbar.
class CNewMFCToolBar : public QToolBar {
    Q_OBJECT
public:
    explicit CNewMFCToolBar(QWidget* parent = nullptr);
};

// The main window: the area holding the picture and microscope windows, the
// menus, the main toolbar with the calibration-name box, the status bar and
// the device and folder panes. It answers the commands that do not depend on
// the active window and passes the others to the active view. Its layout is
// kept in the registry's Workspace key between runs.
class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    explicit CMainFrame(CScoparaApp& app, QWidget* parent = nullptr);
    ~CMainFrame() override;

    QMdiArea* mdiArea() const { return m_mdiArea; }
    CommandRouter& router() const { return *m_router; }
    CNewMFCToolBar* mainToolBar() const { return m_toolBar; }
    QLineEdit* calibrationNameBox() const { return m_calibrationBox; }
    CFileView* deviceManagerPane() const { return m_devicePane; }
    CPropertiesWnd* folderManagerPane() const { return m_folderPane; }
    UserToolbars& userToolbars() const { return *m_userToolbars; }
    const QStringList& calibrationFiles() const { return m_calibrationFiles; }
    int appLook() const { return m_appLook; }

    // Status bar panes 0 to 3.
    void setPaneText(int pane, const QString& text);
    QString paneText(int pane) const;

    // The view of the active window when it answers commands.
    CommandTarget* activeTarget() const;

    // Restores the stored layout; false when none is stored or it is unusable.
    bool restoreWorkspace();
    void saveWorkspace();
    // Covers the screen's free area: the first-start size, also where no
    // window manager honours "maximised".
    void fitToScreen();

    // Closes without the confirmation, for a shutdown the system asked for
    // (logout, SIGTERM). False when a window refused to close.
    bool closeWithoutAsking();

    // Menu texts and tooltips from the language file of this run.
    void relabel();
    // The language command: store, re-label, save, ask for a restart.
    void changeLanguage(const LanguageCommand& language);
    void setAppLook(int lookId);

Q_SIGNALS:
    // Colour, unit, font size, decimals or line width changed: views repaint.
    void measurementSettingsChanged(int property);

protected:
    void closeEvent(QCloseEvent* event) override;
    void customEvent(QEvent* event) override;

private:
    void createActions();
    void createMenus();
    void createToolBars();
    void createStatusBar();
    void createDockWindows();
    void registerFrameCommands();
    void fillWindowMenu(QMenu* menu);
    void fillDockingMenu(QMenu* menu);
    void tileSubWindows(Qt::Orientation orientation);
    void focusNextPane(int step);
    void reloadCalibrationFiles();
    void showCalibrationName(bool clear);

    CScoparaApp& m_app;
    CommandRouter* m_router;
    QMdiArea* m_mdiArea;
    CNewMFCToolBar* m_toolBar = nullptr;
    QLineEdit* m_calibrationBox = nullptr;
    CFileView* m_devicePane = nullptr;
    CPropertiesWnd* m_folderPane = nullptr;
    UserToolbars* m_userToolbars = nullptr;
    QList<QLabel*> m_panes;
    QStringList m_calibrationFiles;
    int m_appLook;
    bool m_closeConfirmed = false;
};

}  // namespace shell
