// The main window's actions, menus and toolbar, and their texts.
#include "CMainFrame.h"

#include "CPanes.h"
#include "CScoparaApp.h"
#include "CommandRouter.h"
#include "UserToolbars.h"

#include "base/command_ids.h"
#include "base/command_tables.h"
#include "base/text_lookup.h"
#include "files/ui/CPropertiesWnd.h"
#include "shell/core/recent_files.h"

#include <QAction>
#include <QActionGroup>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QStyle>
#include <QToolBar>

namespace shell {

namespace {

const char* const kTextKey = "textKey";
const char* const kTextDefault = "textDefault";

// Remembers which language key names the text of `a`, for re-labelling.
void label(QAction* a, const char* key, const char* defaultText)
{
    a->setProperty(kTextKey, QLatin1String(key));
    a->setProperty(kTextDefault, QString::fromUtf8(defaultText));
}

QMenu* addMenu(QWidget* parent, QMenuBar* bar, const char* key, const char* defaultText, const char* objectName)
{
    auto* menu = new QMenu(parent);
    menu->setObjectName(QLatin1String(objectName));
    label(menu->menuAction(), key, defaultText);
    bar->addMenu(menu);
    return menu;
}

QMenu* addSubMenu(QMenu* parent, const char* key, const char* defaultText, const char* objectName)
{
    auto* menu = new QMenu(parent);
    menu->setObjectName(QLatin1String(objectName));
    if (key)
        label(menu->menuAction(), key, defaultText);
    else
        menu->setTitle(QString::fromUtf8(defaultText));
    parent->addMenu(menu);
    return menu;
}

// Items of which exactly one (or, for the language, at most one) is chosen
// show as radio items.
void groupAsChoice(QObject* parent, const QList<QAction*>& actions, bool optional = false)
{
    auto* group = new QActionGroup(parent);
    group->setExclusionPolicy(optional ? QActionGroup::ExclusionPolicy::ExclusiveOptional
                                       : QActionGroup::ExclusionPolicy::Exclusive);
    for (QAction* a : actions)
        group->addAction(a);
}

}  // namespace

void CMainFrame::createActions()
{
    CommandRouter& r = *m_router;
    for (const base::ToolbarButton& b : base::mainToolbarButtons()) {
        if (b.id == 0)
            continue;
        QAction* a = r.action(b.id, this);
        a->setIcon(QIcon(QStringLiteral(":/icons/%1.svg").arg(QLatin1String(b.icon))));
        label(a, b.key, b.defaultText);
    }
    const base::CommandText labelled[] = {
        {base::cmd::NewFolder, "NewFolder", "New Folder"},
        {base::cmd::OpenFolder, "OpenFolder", "Open Folder"},
        {base::cmd::FolderProperty, "FolderProperty", "Folder Property"},
        {base::cmd::LoadFolders, "LoadFolders", "Load Folders"},
        {base::cmd::AppExit, "Exit", "Exit"},
        {base::cmd::ViewStatusBar, "Statusbar", "Statusbar"},
        {base::cmd::MeasureProperty, "MeasureProperty", "Measure Property"},
        {base::cmd::VideoProperty, "VideoProperty", "Video Property"},
        {base::cmd::RestoreSettings, "RestoreSetting", "Restore Settings"},
        {base::cmd::WifiSnapshotOne, "SnapshotOne", "WiFi Snapshot one"},
        {base::cmd::WifiSnapshotTwo, "SnapshotTwo", "WiFi Snapshot two"},
        {base::cmd::UsbSnapshot, "USBSnapshot", "USB Snapshot"},
        {base::cmd::WindowCascade, "Cascade", "Cascade(&C)"},
        {base::cmd::WindowTileHorizontal, "HTile", "Tile (horizontal)"},
        {base::cmd::WindowTileVertical, "VTile", "Tile (vertical)"},
        {base::cmd::About, "About", "About Vellumet"},
    };
    for (const base::CommandText& c : labelled)
        label(r.action(c.id, this), c.key, c.defaultText);
    for (const base::LanguageCommand& l : base::languageCommands())
        label(r.action(l.id, this), l.key, l.defaultText);

    for (const base::ValueCommand& v : base::pictureFormatCommands())
        r.action(v.id, this)->setText(QLatin1String(v.text));
    for (const base::ValueCommand& v : base::dpiCommands())
        r.action(v.id, this)->setText(QLatin1String(v.text));
    for (const base::AppLookCommand& l : base::appLookCommands())
        r.action(l.id, this)->setText(QLatin1String(l.name));
    const auto actionsOf = [&r](auto commands) {
        QList<QAction*> out;
        for (const auto& c : commands)
            out.append(r.action(c.id));
        return out;
    };
    groupAsChoice(this, actionsOf(base::languageCommands()), true);
    groupAsChoice(this, actionsOf(base::pictureFormatCommands()));
    groupAsChoice(this, actionsOf(base::dpiCommands()));
    groupAsChoice(this, actionsOf(base::appLookCommands()));
    r.action(base::cmd::Customize, this)->setText(base::uiText("Customize", "Customize..."));
    r.action(base::cmd::WindowsDialog, this)->setText(QStringLiteral("&Open windows"));
    r.action(base::cmd::AppExit, this)->setMenuRole(QAction::QuitRole);

    // Keyboard accelerators; the active view answers those it handles.
    struct Accelerator {
        int id;
        const char* text;
        QList<QKeySequence> keys;
    };
    const Accelerator accelerators[] = {
        {base::cmd::FileNew, "New", {QKeySequence(Qt::CTRL | Qt::Key_N)}},
        {base::cmd::FileOpen, "&Open...", {QKeySequence(Qt::CTRL | Qt::Key_O)}},
        {base::cmd::FileSave, "&Save", {QKeySequence(Qt::CTRL | Qt::Key_S)}},
        {base::cmd::FileSaveAs, "Save &As...", {}},
        {base::cmd::FilePrint, "&Print...", {QKeySequence(Qt::CTRL | Qt::Key_P)}},
        {base::cmd::FilePrintPreview, "Print Pre&view", {}},
        {base::cmd::EditUndo, "Undo", {QKeySequence(Qt::CTRL | Qt::Key_Z), QKeySequence(Qt::ALT | Qt::Key_Backspace)}},
        {base::cmd::EditCut, "Cut", {QKeySequence(Qt::CTRL | Qt::Key_X), QKeySequence(Qt::SHIFT | Qt::Key_Delete)}},
        {base::cmd::EditCopy, "Copy", {QKeySequence(Qt::CTRL | Qt::Key_C), QKeySequence(Qt::CTRL | Qt::Key_Insert)}},
        {base::cmd::EditPaste, "Paste", {QKeySequence(Qt::CTRL | Qt::Key_V), QKeySequence(Qt::SHIFT | Qt::Key_Insert)}},
        {base::cmd::NextPane, "Next Pane", {QKeySequence(Qt::Key_F6)}},
        {base::cmd::PreviousPane, "Previous Pane", {QKeySequence(Qt::SHIFT | Qt::Key_F6)}},
    };
    for (const Accelerator& acc : accelerators) {
        QAction* a = r.action(acc.id, this);
        a->setText(QLatin1String(acc.text));
        a->setShortcuts(acc.keys);
        a->setShortcutContext(Qt::WindowShortcut);
        addAction(a);
    }
}

void CMainFrame::createMenus()
{
    CommandRouter& r = *m_router;
    QMenuBar* bar = menuBar();

    QMenu* file = addMenu(this, bar, "File", "File", "FileMenu");
    connect(file, &QMenu::aboutToShow, this, [this, file] { fillFileMenu(file); });
    fillFileMenu(file);

    QMenu* setting = addMenu(this, bar, "Setting", "Setting", "SettingMenu");
    QMenu* docking = addSubMenu(setting, "Docking", "Toolbars and Docking Windows", "DockingMenu");
    connect(docking, &QMenu::aboutToShow, this, [this, docking] { fillDockingMenu(docking); });
    setting->addAction(r.action(base::cmd::ViewStatusBar));
    QMenu* language = addSubMenu(setting, "Language", "Language", "LanguageMenu");
    for (const base::LanguageCommand& l : base::languageCommands())
        language->addAction(r.action(l.id));
    setting->addSeparator();
    QMenu* format = addSubMenu(setting, "PictureFormat", "Picture Format", "PictureFormatMenu");
    for (const base::ValueCommand& v : base::pictureFormatCommands())
        format->addAction(r.action(v.id));
    format->addSeparator();
    QMenu* dpi = addSubMenu(format, nullptr, "DPI", "DpiMenu");
    for (const base::ValueCommand& v : base::dpiCommands())
        dpi->addAction(r.action(v.id));
    setting->addAction(r.action(base::cmd::MeasureProperty));
    setting->addAction(r.action(base::cmd::VideoProperty));
    m_resolutionMenu = addSubMenu(setting, "Resolution", "Resolution", "ResolutionMenu");
    m_resolutionMenu->setEnabled(false);  // filled by the live window in front
    setting->addSeparator();
    setting->addAction(r.action(base::cmd::RestoreSettings));
    setting->addSeparator();
    QMenu* snap = addSubMenu(setting, "SnapshotSetting", "Snap Settings", "SnapSettingsMenu");
    snap->addAction(r.action(base::cmd::WifiSnapshotOne));
    snap->addAction(r.action(base::cmd::WifiSnapshotTwo));
    snap->addAction(r.action(base::cmd::UsbSnapshot));
    setting->addSeparator();
    QMenu* look = addSubMenu(setting, nullptr, "Application Look", "AppLookMenu");
    for (const base::AppLookCommand& l : base::appLookCommands())
        look->addAction(r.action(l.id));

    QMenu* window = addMenu(this, bar, "Window", "Window(&W)", "WindowMenu");
    connect(window, &QMenu::aboutToShow, this, [this, window] { fillWindowMenu(window); });
    fillWindowMenu(window);

    QMenu* help = addMenu(this, bar, "Help", "About", "HelpMenu");
    help->addAction(r.action(base::cmd::About));

    for (QMenu* m : findChildren<QMenu*>())
        connect(m, &QMenu::aboutToShow, m_router, &CommandRouter::refresh);
}

// Open, and with a picture window in front its save and print entries; the
// folder commands, the pictures opened last, Exit.
void CMainFrame::fillFileMenu(QMenu* menu)
{
    CommandRouter& r = *m_router;
    menu->clear();
    menu->addAction(r.action(base::cmd::FileOpen));
    if (const base::CommandTarget* target = activeTarget(); target && target->handlesCommand(base::cmd::FilePrintPreview)) {
        menu->addAction(r.action(base::cmd::FileSave));
        menu->addAction(r.action(base::cmd::FileSaveAs));
        menu->addSeparator();
        menu->addAction(r.action(base::cmd::FilePrint));
        menu->addAction(r.action(base::cmd::FilePrintPreview));
    }
    menu->addSeparator();
    menu->addAction(r.action(base::cmd::NewFolder));
    menu->addAction(r.action(base::cmd::OpenFolder));
    menu->addAction(r.action(base::cmd::FolderProperty));
    menu->addAction(r.action(base::cmd::LoadFolders));
    menu->addSeparator();
    const QStringList recent = readRecentFiles(m_app.registry());
    for (int i = 0; i < recent.size(); ++i) {
        QAction* a = r.action(kRecentFileFirstCommand + i, this);
        a->setText(QStringLiteral("&%1 %2").arg(i + 1).arg(fontMetrics().elidedText(recent[i], Qt::ElideMiddle, 360)));
        menu->addAction(a);
    }
    if (!recent.isEmpty())
        menu->addSeparator();
    menu->addAction(r.action(base::cmd::AppExit));
}

void CMainFrame::fillWindowMenu(QMenu* menu)
{
    CommandRouter& r = *m_router;
    menu->clear();
    menu->addAction(r.action(base::cmd::WindowCascade));
    menu->addAction(r.action(base::cmd::WindowTileHorizontal));
    menu->addAction(r.action(base::cmd::WindowTileVertical));
    const QList<QMdiSubWindow*> windows = m_mdiArea->subWindowList();
    if (!windows.isEmpty())
        menu->addSeparator();
    int n = 0;
    for (QMdiSubWindow* w : windows) {
        if (++n > 9)
            break;
        QAction* a = menu->addAction(QStringLiteral("&%1 %2").arg(n).arg(w->windowTitle()));
        a->setCheckable(true);
        a->setChecked(w == m_mdiArea->activeSubWindow());
        connect(a, &QAction::triggered, this, [this, w] { m_mdiArea->setActiveSubWindow(w); });
    }
    menu->addSeparator();
    menu->addAction(r.action(base::cmd::WindowsDialog));
}

void CMainFrame::fillDockingMenu(QMenu* menu)
{
    menu->clear();
    menu->addAction(m_toolBar->toggleViewAction());
    for (int id : m_userToolbars->ids())
        menu->addAction(m_userToolbars->toolbar(id)->toggleViewAction());
    menu->addSeparator();
    menu->addAction(m_devicePane->toggleViewAction());
    menu->addAction(m_folderPane->toggleViewAction());
    menu->addSeparator();
    menu->addAction(m_router->action(base::cmd::Customize));
}

void CMainFrame::createToolBars()
{
    m_toolBar = new CNewMFCToolBar(this);
    for (const base::ToolbarButton& b : base::mainToolbarButtons()) {
        if (b.id == 0)
            m_toolBar->addSeparator();
        else
            m_toolBar->addAction(m_router->action(b.id));
    }
    // The calibration-name box stands where button 1223 would: it shows the
    // profile in use and cannot be edited.
    m_calibrationBox = new QLineEdit(m_toolBar);
    m_calibrationBox->setObjectName(QStringLiteral("152"));
    m_calibrationBox->setReadOnly(true);
    m_calibrationBox->setEnabled(false);
    m_calibrationBox->setFocusPolicy(Qt::NoFocus);
    const int button = m_toolBar->iconSize().width() + 2 * m_toolBar->style()->pixelMetric(QStyle::PM_ToolBarItemMargin) + 8;
    // Wide enough for a name like "x60 micrometer"; longer ones are cut in
    // the middle (showCalibrationName) with the whole name as a tooltip.
    m_calibrationBox->setFixedWidth(4 * button);
    m_toolBar->addWidget(m_calibrationBox);
    addToolBar(Qt::TopToolBarArea, m_toolBar);

    m_userToolbars = new UserToolbars(this, *m_router, m_app.registry());
    m_userToolbars->load();
}

void CMainFrame::relabel()
{
    const QString file = base::languageFile();
    for (QAction* a : findChildren<QAction*>()) {
        const QString key = a->property(kTextKey).toString();
        if (key.isEmpty())
            continue;
        const QString text = base::lookUpText(file, key, a->property(kTextDefault).toString());
        a->setText(text);
        a->setToolTip(QString(text).remove(QLatin1Char('&')));
        a->setStatusTip(a->toolTip());
    }
    // Both panes take the new language at once, like the menus.
    m_devicePane->relabel();
    m_folderPane->relabel();
    menuBar()->update();
}

}  // namespace shell
