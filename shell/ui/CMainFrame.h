#pragma once

#include "base/view_host.h"

#include <QMainWindow>
#include <QPointer>
#include <QStringList>
#include <QToolBar>

#include <memory>

class QLabel;
class QLineEdit;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QProgressBar;
class QTimer;

namespace capture {
class CDeviceView;
class LiveWindows;
class WifiMicroscope;
}  // namespace capture

namespace files {
class CPropertiesWnd;
class CThumbnailsFormView;
}  // namespace files

namespace picture {
class CScoparaView;
}

namespace platform {
class MessageWindow;
class SessionUnlockWatcher;
}  // namespace platform

namespace base {
class CommandTarget;
struct LanguageCommand;
}  // namespace base

namespace shell {

class CFileView;
class CScoparaApp;
class CommandRouter;
class UserToolbars;

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
// kept in the registry's Workspace key between runs. The live windows reach
// the settings and the status bar through it.
class CMainFrame : public QMainWindow, public base::ViewHost {
    Q_OBJECT
public:
    explicit CMainFrame(CScoparaApp& app, QWidget* parent = nullptr);
    ~CMainFrame() override;

    QMdiArea* mdiArea() const { return m_mdiArea; }
    CommandRouter& router() const { return *m_router; }
    CNewMFCToolBar* mainToolBar() const { return m_toolBar; }
    QLineEdit* calibrationNameBox() const { return m_calibrationBox; }
    CFileView* deviceManagerPane() const { return m_devicePane; }
    files::CPropertiesWnd* folderManagerPane() const { return m_folderPane; }
    UserToolbars& userToolbars() const { return *m_userToolbars; }
    const QStringList& calibrationFiles() const { return m_calibrationFiles; }
    int appLook() const { return m_appLook; }

    // Status bar panes 0 to 3.
    void setPaneText(int pane, const QString& text, QColor colour = QColor()) override;
    QString paneText(int pane) const;
    void showStatusMessage(const QString& text) override;
    void showHint(const QString& text) override;
    // The status message shown now, empty once it has timed out.
    QString statusMessage() const;

    // The live windows' side.
    base::AppSettings& settings() override;
    measure::MeasureState& measure() override;
    bool saveRegistrySettings() override;
    bool saveImageToggles() override;
    void writeCrosshair(quint32 value) override;
    void writeCameraModel(quint32 model) override;
    void showProgress(int percent) override;
    QSize fullScreenArea() const override;
    QObject* mainWindow() override { return this; }
    void showResolutions(const QStringList& sizes) override;
    void bringToFront(QWidget* view) override;
    QByteArray* magnifierBuffer() override;
    int magnifierMode() const override;
    QObject* magnifierWindow() override;
    quint32 readCrosshair() override;

    // A slot button: the slot's window to the top, or a new one.
    void slotButtonClicked(int slot);
    // Opens a new window of USB slot 1 to 5; nullptr when it cannot be opened.
    capture::CDeviceView* openUsbSlot(int slot);
    QMdiSubWindow* findWindow(const QString& title) const;
    // Opens a saved picture, or brings its window to the top when it is open;
    // nullptr when it cannot be read (the user was told).
    picture::CScoparaView* openPicture(const QString& path);
    QList<capture::CDeviceView*> liveViews() const;
    bool wifiMode() const { return m_wifiMode; }
    capture::WifiMicroscope& wifiMicroscope() const { return *m_wifi; }
    // The live windows and the cameras behind them.
    capture::LiveWindows& liveWindows() const { return *m_liveWindows; }

    // The view of the active window when it answers commands.
    base::CommandTarget* activeTarget() const;

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
    // Every open window follows the measurement settings and calibration.
    void notifyMeasureChanged();
    // The language command: store, re-label, save, ask for a restart.
    void changeLanguage(const base::LanguageCommand& language);
    void setAppLook(int lookId);

protected:
    void closeEvent(QCloseEvent* event) override;
    void customEvent(QEvent* event) override;

private:
    void createActions();
    void createMenus();
    void createToolBars();
    void createStatusBar();
    void createDockWindows();
    void createDeviceWatching();
    void createPictureWindows();
    // Puts a picture or live view into a child frame of the window area.
    // Puts `view` in a child frame of the rule's size inside the workspace,
    // shown and active.
    QMdiSubWindow* showChildFrame(QWidget* view);
    void viewActivated(QWidget* view);
    void connectWifi();
    void registerFrameCommands();
    void fillFileMenu(QMenu* menu);
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
    files::CPropertiesWnd* m_folderPane = nullptr;
    QPointer<files::CThumbnailsFormView> m_browser;
    UserToolbars* m_userToolbars = nullptr;
    QList<QLabel*> m_panes;
    QProgressBar* m_progress = nullptr;
    QStringList m_calibrationFiles;
    int m_appLook;
    bool m_closeConfirmed = false;
    bool m_wifiMode = false;
    QMenu* m_resolutionMenu = nullptr;
    capture::LiveWindows* m_liveWindows = nullptr;
    capture::WifiMicroscope* m_wifi = nullptr;
    platform::SessionUnlockWatcher* m_sessionWatcher = nullptr;
    platform::MessageWindow* m_messageWindow = nullptr;
};

}  // namespace shell
