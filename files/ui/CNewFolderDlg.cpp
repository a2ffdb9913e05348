#include "CNewFolderDlg.h"

#include "files/core/folder_info.h"
#include "files/core/saved_folders.h"

#include "base/app_settings.h"
#include "base/text_lookup.h"

#include "platform/message_dialogs.h"
#include "platform/posted_message.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace files {

using base::uiText;

namespace {

QString chooseWithDesktopDialog(QWidget* parent, const QString& start)
{
    return QFileDialog::getExistingDirectory(parent, QString(), start, QFileDialog::ShowDirsOnly);
}

}  // namespace

CNewFolderDlg::CNewFolderDlg(base::AppSettings& settings, QObject* mainWindow, QWidget* parent)
    : QDialog(parent),
      m_settings(settings),
      m_mainWindow(mainWindow),
      m_location(new QLineEdit(settings.paths.saveRoot)),
      m_name(new QLineEdit),
      m_note(new QPlainTextEdit),
      m_change(new QPushButton(uiText("Change", "Change"))),
      m_chooseFolder(chooseWithDesktopDialog)
{
    setObjectName(QStringLiteral("CNewFolderDlg"));
    setWindowTitle(uiText("NewFolder", "New Folder"));
    const FolderProperties current = folderProperties(settings.paths.currentFolder);
    m_name->setText(current.name);
    m_note->setPlainText(current.note);
    m_note->setTabChangesFocus(true);
    m_note->setMinimumHeight(4 * m_note->fontMetrics().lineSpacing());

    auto* locationRow = new QHBoxLayout;
    locationRow->addWidget(m_location, 1);
    locationRow->addWidget(m_change);
    connect(m_change, &QPushButton::clicked, this, &CNewFolderDlg::changeLocation);

    auto* form = new QFormLayout;
    form->addRow(uiText("Location", "Location"), locationRow);
    form->addRow(uiText("Name", "Name"), m_name);
    form->addRow(uiText("Note", "Note"), m_note);

    auto* box = new QDialogButtonBox(QDialogButtonBox::Ok);
    box->addButton(uiText("Exit", "Exit"), QDialogButtonBox::RejectRole);
    connect(box, &QDialogButtonBox::accepted, this, &CNewFolderDlg::accept);
    connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(box);
    setMinimumWidth(420);
    m_name->setFocus();
    m_name->selectAll();
}

void CNewFolderDlg::changeLocation()
{
    const QString chosen = m_chooseFolder(this, m_location->text());
    if (chosen.isEmpty())
        return;
    m_location->setText(chosen);
    // Saying so early: OK would refuse a name already used there.
    if (SavedFolders::holdsFolders(chosen))
        platform::messageDialogs().inform(outcomeText(FolderOutcome::Exists));
}

void CNewFolderDlg::accept()
{
    SavedFolders folders(m_settings.paths, m_settings.savedFolderCount);
    const FolderOutcome outcome = folders.create(m_location->text(), m_name->text(), m_note->toPlainText());
    if (outcome != FolderOutcome::Done) {
        platform::messageDialogs().inform(outcomeText(outcome));
        return;
    }
    platform::postMessage(m_mainWindow, platform::msg::RebuildFolderPane);
    QDialog::accept();
}

}  // namespace files
