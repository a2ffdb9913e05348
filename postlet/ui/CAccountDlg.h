#pragma once

#include "postlet/core/mail_account.h"

#include <QDialog>

class QLineEdit;

namespace postlet {

// "Email account settings": server, mailbox, user name and password. OK
// closes only when the first three are filled in and every value can be
// used (no line breaks, fits the account file, a valid server).
class CAccountDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAccountDlg(const MailAccount& account, QWidget* parent = nullptr);

    MailAccount account() const;

    void accept() override;

private:
    QLineEdit* m_server;
    QLineEdit* m_mailbox;
    QLineEdit* m_userName;
    QLineEdit* m_password;
};

}  // namespace postlet
