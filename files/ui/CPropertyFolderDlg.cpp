#include "CPropertyFolderDlg.h"

#include "files/core/folder_info.h"

#include "base/text_lookup.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace files {

using base::uiText;

namespace {

QLineEdit* field(const QString& text)
{
    auto* edit = new QLineEdit(text);
    edit->setReadOnly(true);
    edit->setCursorPosition(0);
    return edit;
}

}  // namespace

CPropertyFolderDlg::CPropertyFolderDlg(const QString& folder, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("CPropertyFolderDlg"));
    setWindowTitle(uiText("FolderProperty", "Folder Property"));
    const FolderProperties p = folderProperties(folder);
    m_name = field(p.name);
    m_location = field(p.location);
    m_size = field(p.size);
    m_number = field(p.number);
    m_created = field(p.created);
    m_note = new QPlainTextEdit(p.note);
    m_note->setReadOnly(true);
    m_note->setTabChangesFocus(true);
    m_note->setMinimumHeight(4 * m_note->fontMetrics().lineSpacing());

    auto* form = new QFormLayout;
    form->addRow(uiText("Name", "Name"), m_name);
    form->addRow(uiText("Location", "Location"), m_location);
    form->addRow(uiText("Size", "Size"), m_size);
    form->addRow(uiText("Number", "Number"), m_number);
    form->addRow(uiText("Created", "Created"), m_created);
    form->addRow(uiText("Note", "Note"), m_note);

    auto* box = new QDialogButtonBox(QDialogButtonBox::Ok);
    box->addButton(uiText("Exit", "Exit"), QDialogButtonBox::RejectRole);
    connect(box, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(box);
    setMinimumWidth(420);
    box->button(QDialogButtonBox::Ok)->setFocus();  // nothing here to edit
}

}  // namespace files
