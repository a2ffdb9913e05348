#include "CManageFolderDlg.h"

#include "CNewFolderDlg.h"

#include "files/core/saved_folders.h"

#include "base/app_settings.h"
#include "base/text_lookup.h"

#include "platform/message_dialogs.h"
#include "platform/posted_message.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace files {

using base::uiText;

namespace {

constexpr int kColumns = 6;

}  // namespace

CManageFolderDlg::CManageFolderDlg(base::AppSettings& settings, QObject* mainWindow, QWidget* parent)
    : QDialog(parent),
      m_settings(settings),
      m_mainWindow(mainWindow),
      m_table(new QTableWidget(0, kColumns)),
      m_new(new QPushButton(uiText("New", "New"))),
      m_delete(new QPushButton(uiText("Delete", "Delete"))),
      m_runNewFolder([](CNewFolderDlg& dialog) { dialog.exec(); })
{
    setObjectName(QStringLiteral("CManageFolderDlg"));
    setWindowTitle(uiText("FolderManager", "Folder Manager"));
    m_table->setObjectName(QStringLiteral("FolderTable"));
    m_table->setHorizontalHeaderLabels({uiText("Name", "Name"), uiText("Created", "Created"), uiText("Note", "Note"),
                                        uiText("Photo", "Photo"), uiText("Video", "Video"), uiText("Location", "Location")});
    m_table->setShowGrid(true);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setWordWrap(false);
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    m_table->horizontalHeader()->setStretchLastSection(false);
    m_table->viewport()->installEventFilter(this);
    // Double-clicking a folder opens it, as OK does.
    connect(m_table, &QTableWidget::cellDoubleClicked, this, &CManageFolderDlg::accept);

    auto* box = new QDialogButtonBox;
    box->addButton(m_new, QDialogButtonBox::ActionRole);
    box->addButton(m_delete, QDialogButtonBox::ActionRole);
    box->addButton(QDialogButtonBox::Ok);
    box->addButton(uiText("Exit", "Exit"), QDialogButtonBox::RejectRole);
    connect(m_new, &QPushButton::clicked, this, &CManageFolderDlg::newFolder);
    connect(m_delete, &QPushButton::clicked, this, &CManageFolderDlg::deleteFolder);
    connect(box, &QDialogButtonBox::accepted, this, &CManageFolderDlg::accept);
    connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_table, 1);
    layout->addWidget(box);
    resize(760, 340);
    reload();
}

void CManageFolderDlg::reload()
{
    const SavedFolders saved(m_settings.paths, m_settings.savedFolderCount);
    m_folders = saved.list(FolderDetail::Manager);
    m_table->clearSelection();
    m_table->setRowCount(static_cast<int>(m_folders.size()));
    for (int row = 0; row < m_folders.size(); ++row) {
        const FolderInfo& f = m_folders[row];
        const QString cells[kColumns] = {f.name, f.created, f.note, f.pictures, f.videos, f.location};
        for (int column = 0; column < kColumns; ++column) {
            auto* item = new QTableWidgetItem(cells[column]);
            item->setToolTip(cells[column]);
            m_table->setItem(row, column, item);
        }
    }
    m_table->setCurrentCell(-1, -1);
}

const FolderInfo* CManageFolderDlg::chosen() const
{
    const QList<QTableWidgetItem*> selected = m_table->selectedItems();
    if (selected.isEmpty())
        return nullptr;
    const int row = selected.first()->row();
    return row >= 0 && row < m_folders.size() ? &m_folders[row] : nullptr;
}

void CManageFolderDlg::newFolder()
{
    CNewFolderDlg dialog(m_settings, m_mainWindow, this);
    m_runNewFolder(dialog);
    if (dialog.result() == QDialog::Accepted)
        reload();
}

void CManageFolderDlg::deleteFolder()
{
    const FolderInfo* folder = chosen();
    if (!folder) {
        platform::messageDialogs().inform(outcomeText(FolderOutcome::NothingChosen));
        return;
    }
    const QString location = folder->location;
    SavedFolders saved(m_settings.paths, m_settings.savedFolderCount);
    FolderOutcome outcome = saved.trash(location);
    if (outcome == FolderOutcome::NoTrash) {
        if (!platform::messageDialogs().confirm(outcomeText(outcome) + QLatin1Char('\n') + location))
            return;
        outcome = saved.deleteForGood(location);
    }
    if (outcome != FolderOutcome::Done)
        platform::messageDialogs().inform(outcomeText(outcome));
    // A folder deleted, or gone from the list though its delete failed,
    // leaves the folder pane as well.
    if (outcome == FolderOutcome::Done || outcome == FolderOutcome::DeleteFailed || outcome == FolderOutcome::NotWritten)
        platform::postMessage(m_mainWindow, platform::msg::RemoveFolder, 0, 0, location);
    reload();
}

void CManageFolderDlg::accept()
{
    if (const FolderInfo* folder = chosen()) {
        SavedFolders saved(m_settings.paths, m_settings.savedFolderCount);
        if (saved.choose(folder->location))
            platform::postMessage(m_mainWindow, platform::msg::RebuildFolderPane);
    }
    QDialog::accept();
}

bool CManageFolderDlg::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_table->viewport() && event->type() == QEvent::Resize)
        fitColumns();
    return QDialog::eventFilter(watched, event);
}

// Six columns of equal width, a sixth of the list each.
void CManageFolderDlg::fitColumns()
{
    const int width = m_table->viewport()->width() / kColumns;
    for (int column = 0; column < kColumns; ++column)
        m_table->setColumnWidth(column, width);
}

}  // namespace files
