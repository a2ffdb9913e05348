#include "mail_send_job.h"

#include <QDateTime>
#include <QSysInfo>

namespace postlet {

MailSendJob::MailSendJob(const MailAccount& account, const MailRequest& request, Options options, QObject* parent)
    : QThread(parent), m_account(account), m_request(request), m_options(std::move(options))
{
}

MailSendJob::~MailSendJob()
{
    cancel();
    wait();
    (void)m_ran.load(std::memory_order_acquire);
}

QByteArray MailSendJob::localHostName()
{
    const QByteArray name = QSysInfo::machineHostName().toUtf8();
    if (name.isEmpty() || name.size() > 100)
        return "localhost";
    for (const char c : name) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '.';
        if (!plain)
            return "localhost";
    }
    return name;
}

void MailSendJob::run()
{
    work();
    m_ran.store(true, std::memory_order_release);
}

void MailSendJob::work()
{
    const auto server = parseServerAddress(m_account.server);
    if (!server) {
        Q_EMIT delivered(int(SendOutcome::ConnectFailed), QString());
        return;
    }
    Q_EMIT stageChanged(int(SendStage::Connecting));
    const MailMessage message = buildMailMessage(m_account, m_request);
    const QByteArray data = composeMessage(message, QDateTime::currentDateTime());

    SmtpObserver observer;
    observer.stage = [this](SendStage s) { Q_EMIT stageChanged(int(s)); };
    observer.encrypted = [this](bool e) { Q_EMIT encryptionKnown(e); };
    observer.upload = [this](qint64 sent, qint64 total) { Q_EMIT uploadProgress(sent, total); };
    SmtpSession session(m_cancel, m_options.limits, m_options.caCertificates);
    const SendOutcome outcome = session.send(*server, m_account, envelopeOf(message), data, localHostName(), observer);
    Q_EMIT delivered(int(outcome), outcome == SendOutcome::Sent ? QString() : QString::fromUtf8(session.refusal()));
}

}  // namespace postlet
