#include "CSavePropertyDlg.h"

#include "base/text_lookup.h"

#include "platform/message_dialogs.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>

namespace capture {

CSavePropertyDlg::CSavePropertyDlg(QString folder, QString section, ProfileValues values, QWidget* parent)
    : QDialog(parent),
      m_folder(std::move(folder)),
      m_section(std::move(section)),
      m_values(std::move(values)),
      m_name(new QLineEdit)
{
    setObjectName(QStringLiteral("CSavePropertyDlg"));
    setWindowTitle(base::uiText("SaveVideoProperty", "Save Video Property"));
    m_name->setObjectName(QStringLiteral("1139"));
    auto* label = new QLabel(base::uiText("ProfileName", "Profile Name"));
    label->setObjectName(QStringLiteral("1201"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &CSavePropertyDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* form = new QFormLayout(this);
    form->addRow(label, m_name);
    form->addRow(buttons);
    m_name->setMinimumWidth(220);
}

QString CSavePropertyDlg::name() const
{
    return m_name->text().trimmed();
}

void CSavePropertyDlg::accept()
{
    switch (saveProfile(m_folder, name(), m_section, m_values)) {
    case ProfileSave::Saved: QDialog::accept(); return;
    case ProfileSave::EmptyName: platform::messageDialogs().inform(base::uiText("NotNull", "Can not empty")); break;
    case ProfileSave::Exists: platform::messageDialogs().inform(base::uiText("AlreadyExists", "Already exists")); break;
    case ProfileSave::CannotWrite:
        platform::messageDialogs().inform(base::uiText("ProfileNotSaved", "The profile could not be saved in %1.").arg(m_folder));
        break;
    }
    m_name->setFocus();
}

}  // namespace capture
