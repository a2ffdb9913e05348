#include "CAccountDlg.h"

#include "PostletMessages.h"

#include "postlet/core/postlet_texts.h"
#include "postlet/core/server_address.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace postlet {

namespace {

QLineEdit* accountField(const char* id, const QString& value)
{
    auto* edit = new QLineEdit(value);
    edit->setObjectName(QLatin1String(id));
    edit->setMaxLength(kMaxValueBytes);
    edit->setMinimumWidth(280);
    return edit;
}

QLabel* accountLabel(const char* id, const UiText& text)
{
    auto* label = new QLabel(textOf(text));
    label->setObjectName(QLatin1String(id));
    return label;
}

}  // namespace

CAccountDlg::CAccountDlg(const MailAccount& account, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("CAccountDlg"));
    setWindowTitle(textOf(texts::AccountSettings));

    m_server = accountField("1014", account.server);
    m_server->setPlaceholderText(QStringLiteral("smtp.example.org:587"));
    m_mailbox = accountField("1015", account.mailbox);
    m_userName = accountField("1016", account.userName);
    m_password = accountField("1017", account.password);
    m_password->setEchoMode(QLineEdit::Password);

    auto* form = new QFormLayout;
    form->addRow(accountLabel("1010", texts::Smtp), m_server);
    form->addRow(accountLabel("1011", texts::Mailbox), m_mailbox);
    form->addRow(accountLabel("1012", texts::UserName), m_userName);
    form->addRow(accountLabel("1013", texts::UserPassword), m_password);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &CAccountDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CAccountDlg::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

MailAccount CAccountDlg::account() const
{
    return {m_server->text().trimmed(), m_mailbox->text().trimmed(), m_userName->text(), m_password->text()};
}

void CAccountDlg::accept()
{
    const MailAccount a = account();
    if (!isAccountComplete(a) || !isAccountUsable(a) || !parseServerAddress(a.server)) {
        showPostletWarning(textOf(texts::SettingInvalid));
        return;
    }
    QDialog::accept();
}

}  // namespace postlet
