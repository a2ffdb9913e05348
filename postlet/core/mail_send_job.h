#pragma once

#include "mail_account.h"
#include "mail_request.h"
#include "server_address.h"
#include "smtp_session.h"

#include <QList>
#include <QSslCertificate>
#include <QThread>

#include <atomic>

namespace postlet {

// One delivery on a thread of its own, so the dialog stays responsive: it
// reads the attachment, composes the message and runs the SMTP exchange,
// reporting through queued signals. cancel() may be called from any thread.
class MailSendJob : public QThread {
    Q_OBJECT
public:
    struct Options {
        SmtpLimits limits;
        QList<QSslCertificate> caCertificates;  // empty: the system's trusted roots
    };

    MailSendJob(const MailAccount& account, const MailRequest& request, Options options, QObject* parent = nullptr);
    ~MailSendJob() override;

    void cancel() { m_cancel = true; }

    // The name given with EHLO: this machine's host name when it is a plain
    // name (at most 100 bytes), else "localhost".
    static QByteArray localHostName();

Q_SIGNALS:
    void stageChanged(int stage);  // SendStage
    void encryptionKnown(bool encrypted);
    void uploadProgress(qint64 sent, qint64 total);
    // SendOutcome, emitted last, with the server's reply that refused the
    // mail (empty when it went out or no server said no).
    void delivered(int outcome, const QString& serverReply);

protected:
    void run() override;

private:
    void work();
    const MailAccount m_account;
    const MailRequest m_request;
    const Options m_options;
    std::atomic_bool m_cancel{false};
    // Set as run() ends: the destructor's wait() synchronises inside Qt,
    // this makes the end of the job's work visible to thread checkers too.
    std::atomic_bool m_ran{false};
};

}  // namespace postlet
