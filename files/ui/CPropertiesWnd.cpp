#include "CPropertiesWnd.h"

#include "CFloderComboBox.h"
#include "CPropertiesToolBar.h"

#include "files/core/folder_sort.h"
#include "files/core/saved_folders.h"

#include "base/app_settings.h"
#include "base/command_ids.h"
#include "base/image_toggles.h"
#include "base/text_lookup.h"

#include "platform/desktop_open.h"
#include "platform/message_dialogs.h"
#include "platform/posted_message.h"

#include <QIcon>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace files {

namespace {

// What the browser is told by message 1137.
enum BrowserRequest { ShowPictures = 0, ShowClips = 1, Reload = 2 };

}  // namespace

CPropertiesWnd::CPropertiesWnd(base::AppSettings& settings, QWidget* parent)
    : QDockWidget(parent), m_settings(settings), m_list(new CFloderComboBox), m_toolBar(new CPropertiesToolBar)
{
    setObjectName(QStringLiteral("CPropertiesWnd"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/folder-manager.svg")));
    setAllowedAreas(Qt::AllDockWidgetAreas);
    setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable);

    auto* body = new QWidget;
    body->setObjectName(QStringLiteral("CPropertiesWndBody"));
    body->setMinimumWidth(150);
    auto* layout = new QVBoxLayout(body);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->setSpacing(1);
    layout->addWidget(m_list);
    layout->addWidget(m_toolBar);
    // The thumbnail browser's place: everything under the toolbar.
    auto* area = new QWidget;
    area->setObjectName(QStringLiteral("ThumbnailBrowserArea"));
    m_browserArea = new QVBoxLayout(area);
    m_browserArea->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(area, 1);
    setWidget(body);

    connect(m_list, &QComboBox::activated, this, &CPropertiesWnd::chooseFolder);
    connect(m_toolBar, &CPropertiesToolBar::commandTriggered, this, &CPropertiesWnd::runCommand);
    relabel();
    rebuild();
}

void CPropertiesWnd::relabel()
{
    setWindowTitle(base::uiText("FolderManager", "Folder Manager", base::kPaneTitleCapacity));
    m_toolBar->relabel();
}

void CPropertiesWnd::setBrowser(QWidget* browser)
{
    if (m_browser)
        m_browser->deleteLater();
    m_browser = browser;
    if (browser)
        m_browserArea->addWidget(browser);
}

void CPropertiesWnd::tellBrowser(int what)
{
    if (m_browser)
        platform::postMessage(m_browser, platform::msg::ReloadListing, what);
}

void CPropertiesWnd::rebuild()
{
    const SavedFolders saved(m_settings.paths, m_settings.savedFolderCount);
    m_folders = saved.list(FolderDetail::Pane);
    sortFolders(m_folders, m_settings.toggles.sortFolders);
    {
        // Filling the list is no choice of the user's.
        const QSignalBlocker quiet(m_list);
        m_list->clear();
        for (const FolderInfo& f : m_folders) {
            m_list->addItem(f.name);
            m_list->setItemData(m_list->count() - 1, f.location, Qt::ToolTipRole);
        }
        m_list->setCurrentIndex(m_folders.isEmpty() ? -1 : saved.currentIndex(m_folders));
    }
    tellBrowser(Reload);
}

void CPropertiesWnd::removeFolder(const QString& location)
{
    for (qsizetype i = 0; i < m_folders.size(); ++i) {
        if (m_folders[i].location == location) {
            const QSignalBlocker quiet(m_list);
            m_folders.removeAt(i);
            m_list->removeItem(static_cast<int>(i));
            return;
        }
    }
}

void CPropertiesWnd::chooseFolder(int index)
{
    if (index < 0 || index >= m_folders.size())
        return;
    SavedFolders saved(m_settings.paths, m_settings.savedFolderCount);
    if (saved.choose(m_folders[index].location))
        tellBrowser(Reload);
}

void CPropertiesWnd::openCurrentFolder()
{
    const QString folder = m_settings.paths.currentFolder;
    platform::desktopOpener().openOrReport(folder, [folder](const QString& reason) {
        QString text = base::uiText("FolderNotOpened", "No program could open the folder:", base::kMessageCapacity)
            + QLatin1Char('\n') + folder;
        if (!reason.isEmpty())
            text += QLatin1Char('\n') + reason;
        platform::messageDialogs().inform(text);
    });
}

void CPropertiesWnd::cycleOrder()
{
    base::ImageToggles& toggles = m_settings.toggles;
    toggles.sortFolders = nextFolderOrder(toggles.sortFolders);
    // The order stays for the next start even when no other setting changes.
    base::saveImageToggles(m_settings.paths.imageTogglesIni(), toggles);
    rebuild();
}

void CPropertiesWnd::runCommand(int id)
{
    switch (id) {
    case base::cmd::ShowPictures: tellBrowser(ShowPictures); break;
    case base::cmd::ShowVideos: tellBrowser(ShowClips); break;
    case base::cmd::OpenFolderInFileManager: openCurrentFolder(); break;
    case base::cmd::SortFolders: cycleOrder(); break;
    default: break;
    }
}

bool CPropertiesWnd::handleFolderMessage(platform::PostedMessage& message)
{
    switch (message.number()) {
    case platform::msg::RebuildFolderPane: rebuild(); return true;
    case platform::msg::RemoveFolder:
        if (const QString* location = message.payload<QString>())
            removeFolder(*location);
        return true;
    default: return false;
    }
}

void CPropertiesWnd::customEvent(QEvent* event)
{
    auto* message = dynamic_cast<platform::PostedMessage*>(event);
    if (!message || !handleFolderMessage(*message))
        QDockWidget::customEvent(event);
}

}  // namespace files
