// The commands the main window answers itself.
#include "CMainFrame.h"

#include "CAboutDlg.h"
#include "CCustomizeDlg.h"
#include "CPanes.h"
#include "CScoparaApp.h"
#include "CWindowsDlg.h"
#include "CommandRouter.h"
#include "UserToolbars.h"

#include "base/command_ids.h"
#include "base/command_tables.h"
#include "base/text_lookup.h"
#include "platform/language_choice.h"

#include "files/ui/CManageFolderDlg.h"
#include "files/ui/CNewFolderDlg.h"
#include "files/ui/CPropertiesWnd.h"
#include "files/ui/CPropertyFolderDlg.h"
#include "files/ui/load_folders.h"

#include "measure/ui/CMeasurementSettingDlg.h"

#include "platform/known_folders.h"
#include "platform/message_dialogs.h"

#include <QAction>
#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStatusBar>

namespace shell {

void CMainFrame::registerFrameCommands()
{
    CommandRouter& r = *m_router;
    base::RegistrySettings& reg = m_app.settings().registry;

    r.handleInFrame(base::cmd::AppExit, [this] { close(); });
    r.handleInFrame(
        base::cmd::ViewStatusBar, [this] { statusBar()->setVisible(!statusBar()->isVisible()); },
        [this](base::CommandState& s) { s.checked = statusBar()->isVisible(), s.checkable = true; });

    for (const base::LanguageCommand& l : base::languageCommands()) {
        r.handleInFrame(
            l.id, [this, &l] { changeLanguage(l); },
            [&reg, &l](base::CommandState& s) {
                s.checkable = true;
                s.checked = reg.languagemainid == l.mainId && reg.languagesubid == l.subId;
            });
    }
    // Each picture-format and DPI item stores its value and saves at once.
    const auto choice = [this, &r](std::span<const base::ValueCommand> commands, quint32& setting) {
        for (const base::ValueCommand& v : commands) {
            r.handleInFrame(
                v.id,
                [this, &setting, &v] {
                    setting = v.value;
                    m_app.saveRegistrySettings();
                },
                [&setting, &v](base::CommandState& s) { s.checkable = true, s.checked = setting == v.value; });
        }
    };
    choice(base::pictureFormatCommands(), reg.g_szBmporjpg);
    choice(base::dpiCommands(), reg.g_szBmporjpgDPI);
    for (const base::AppLookCommand& l : base::appLookCommands()) {
        r.handleInFrame(
            l.id, [this, &l] { setAppLook(l.id); },
            [this, &l](base::CommandState& s) { s.checkable = true, s.checked = m_appLook == l.id; });
    }

    r.handleInFrame(base::cmd::RestoreSettings, [this] {
        if (platform::messageDialogs().confirm(base::uiText("Restore", "Are you sure?", base::kMessageCapacity)))
            m_app.restoreSettings(
                base::uiText("Reboot", "The configuration has been changed,please restart application", base::kMessageCapacity));
    });

    // Window arrangement needs a window to arrange.
    const auto needsWindow = [this](base::CommandState& s) { s.enabled = m_mdiArea->activeSubWindow() != nullptr; };
    r.handleInFrame(
        base::cmd::WindowCascade, [this] { m_mdiArea->cascadeSubWindows(); }, needsWindow);
    r.handleInFrame(
        base::cmd::WindowTileHorizontal, [this] { tileSubWindows(Qt::Vertical); }, needsWindow);
    r.handleInFrame(
        base::cmd::WindowTileVertical, [this] { tileSubWindows(Qt::Horizontal); }, needsWindow);
    r.handleInFrame(base::cmd::WindowsDialog, [this] { CWindowsDlg(m_mdiArea, this).exec(); });
    r.handleInFrame(base::cmd::Customize, [this] {
        QList<int> commands;
        for (const base::ToolbarButton& b : base::mainToolbarButtons()) {
            if (b.id)
                commands.append(b.id);
        }
        CCustomizeDlg(*m_userToolbars, *m_router, commands, this).exec();
    });
    r.handleInFrame(base::cmd::About, [this] { CAboutDlg(this).exec(); });
    r.handleInFrame(base::cmd::MeasureProperty, [this] {
        measure::CMeasurementSettingDlg dlg(m_app.measure(), this);
        connect(&dlg, &measure::CMeasurementSettingDlg::settingChanged, this, &CMainFrame::notifyMeasureChanged);
        // Changes are in effect already; OK also keeps them for the next start.
        if (dlg.exec() == QDialog::Accepted)
            m_app.saveRegistrySettings();
    });
    // The saved-files folders; the dialogs tell this window (1168, 1169)
    // how the folder pane changes.
    r.handleInFrame(base::cmd::NewFolder, [this] { files::CNewFolderDlg(m_app.settings(), this, this).exec(); });
    r.handleInFrame(base::cmd::OpenFolder, [this] { files::CManageFolderDlg(m_app.settings(), this, this).exec(); });
    r.handleInFrame(base::cmd::FolderProperty,
                    [this] { files::CPropertyFolderDlg(m_app.settings().paths.currentFolder, this).exec(); });
    r.handleInFrame(base::cmd::LoadFolders, [this] { files::loadFolders(m_app.settings(), this); });
    r.handleInFrame(base::cmd::NextPane, [this] { focusNextPane(1); });
    r.handleInFrame(base::cmd::PreviousPane, [this] { focusNextPane(-1); });
}

void CMainFrame::changeLanguage(const base::LanguageCommand& language)
{
    base::AppSettings& s = m_app.settings();
    s.registry.languagemainid = language.mainId;
    s.registry.languagesubid = language.subId;
    s.uiLanguageMainId = language.mainId;
    s.uiLanguageSubId = language.subId;
    s.paths.languageFile = platform::chooseLanguageFile(platform::shippedFilesFolder(s.paths.programFolder), language.mainId,
                                                        language.subId);
    base::setLanguageFile(s.paths.languageFile);
    relabel();
    m_app.saveRegistrySettings();
    s.cleanWorkspace = true;
    platform::messageDialogs().inform(
        base::uiText("Reboot", "The configuration has been changed,please restart application", base::kMessageCapacity));
}

// Stacks the windows one above the other (Qt::Vertical) or side by side.
void CMainFrame::tileSubWindows(Qt::Orientation orientation)
{
    QList<QMdiSubWindow*> windows;
    for (QMdiSubWindow* w : m_mdiArea->subWindowList()) {
        if (!w->isMinimized())
            windows.append(w);
    }
    if (windows.isEmpty())
        return;
    const QRect area = m_mdiArea->viewport()->rect();
    const int n = static_cast<int>(windows.size());
    for (int i = 0; i < n; ++i) {
        QMdiSubWindow* w = windows[i];
        w->showNormal();
        if (orientation == Qt::Vertical) {
            const int top = area.height() * i / n;
            w->setGeometry(0, top, area.width(), area.height() * (i + 1) / n - top);
        } else {
            const int left = area.width() * i / n;
            w->setGeometry(left, 0, area.width() * (i + 1) / n - left, area.height());
        }
    }
}

// F6 and Shift+F6: from the active window to the panes and back.
void CMainFrame::focusNextPane(int step)
{
    QList<QWidget*> stops;
    if (QMdiSubWindow* w = m_mdiArea->activeSubWindow())
        stops.append(w->widget() ? w->widget() : w);
    else
        stops.append(m_mdiArea);
    for (QDockWidget* pane : {static_cast<QDockWidget*>(m_devicePane), static_cast<QDockWidget*>(m_folderPane)}) {
        if (pane->isVisible())
            stops.append(pane->widget());
    }
    qsizetype current = 0;
    for (qsizetype i = 0; i < stops.size(); ++i) {
        if (stops[i]->isAncestorOf(QApplication::focusWidget()) || stops[i] == QApplication::focusWidget())
            current = i;
    }
    const qsizetype next = (current + step + stops.size()) % stops.size();
    stops[next]->setFocus(Qt::OtherFocusReason);
}

}  // namespace shell
