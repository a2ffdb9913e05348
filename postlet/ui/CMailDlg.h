#pragma once

#include "postlet/core/mail_account.h"
#include "postlet/core/mail_request.h"
#include "postlet/core/mail_send_job.h"

#include <QDialog>
#include <QPointer>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

namespace postlet {

// "Send Email": To, Cc, Subject, the attachment and the body. OK sends the
// mail on a thread of its own while the dialog shows how far it got; Cancel
// stops a send that is under way (and closes the dialog otherwise). A mail
// that went out closes the dialog; after a failure everything typed stays.
class CMailDlg : public QDialog {
    Q_OBJECT
public:
    struct Setup {
        MailAccount account;
        QString accountPath;     // mailset.dat, rewritten when the account changes
        QString attachmentPath;  // shown, and attached when it can be
        MailSendJob::Options sendOptions;
    };

    explicit CMailDlg(Setup setup, QWidget* parent = nullptr);
    ~CMailDlg() override;

    const MailAccount& account() const { return m_setup.account; }
    bool isSending() const { return m_job != nullptr; }
    MailRequest request() const;

    void accept() override;  // send
    void reject() override;  // cancel the send, or close

    // The account dialog; false when the user cancelled it.
    bool editAccount();
    void showAbout();

private:
    void send();
    void setSending(bool sending);
    void showStage(int stage);
    void showEncryption(bool encrypted);
    void showUpload(qint64 sent, qint64 total);
    void finishSend(int outcome, const QString& serverReply);

    Setup m_setup;
    QLineEdit* m_to;
    QLineEdit* m_cc;
    QLineEdit* m_subject;
    QLineEdit* m_attachment;
    QPlainTextEdit* m_body;
    QLabel* m_status;
    QLabel* m_encryption;
    QProgressBar* m_progress;
    QPushButton* m_ok;
    QPushButton* m_setting;
    QPointer<MailSendJob> m_job;
};

}  // namespace postlet
