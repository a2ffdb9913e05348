#pragma once

#include "mail_account.h"
#include "server_address.h"

#include <QByteArray>
#include <QList>
#include <QSslCertificate>
#include <QStringList>

#include <atomic>
#include <functional>

namespace postlet {

class SmtpConnection;
struct SmtpReply;

enum class SendOutcome {
    Sent,
    ConnectFailed,      // no connection, no greeting, EHLO or STARTTLS refused
    CertificateFailed,  // the server's certificate is not trusted
    TlsUnavailable,     // encryption required but not offered
    AuthFailed,
    SendFailed,  // the mail transaction failed
    Cancelled,
};

enum class SendStage { Connecting, LoggingIn, Sending, Finishing };

// How long each step may take. Servers may pause long after the final dot
// (virus scanning), so that reply gets the most time.
struct SmtpLimits {
    int connectMs = 30000;
    int replyMs = 30000;
    int finalReplyMs = 120000;
};

struct SmtpEnvelope {
    QString from;
    QStringList recipients;  // in RCPT TO order
};

// What the exchange tells its caller while it runs (on the caller's thread).
struct SmtpObserver {
    std::function<void(SendStage)> stage;
    std::function<void(bool)> encrypted;         // once the connection is settled
    std::function<void(qint64, qint64)> upload;  // sent, total bytes of the message
};

// One SMTP delivery: connect, greeting, EHLO, STARTTLS where offered or
// required, AUTH LOGIN (AUTH PLAIN where only that is offered), MAIL FROM,
// RCPT TO, DATA with the dot-stuffed message, QUIT.
class SmtpSession {
public:
    SmtpSession(const std::atomic_bool& cancel, SmtpLimits limits = {}, QList<QSslCertificate> caCertificates = {});

    // `localHost` is the name given with EHLO; `message` the composed message
    // before dot-stuffing.
    SendOutcome send(const ServerAddress& server, const MailAccount& account, const SmtpEnvelope& envelope,
                     const QByteArray& message, const QByteArray& localHost, const SmtpObserver& observer = {});

    // The last reply the server gave (its lines joined), for diagnostics.
    const QByteArray& lastReply() const { return m_lastReply; }
    // The first reply of this exchange that refused something (a 4xx or 5xx
    // code), each line with its code; empty when none did.
    const QByteArray& refusal() const { return m_refusal; }

private:
    bool command(SmtpConnection& c, const QByteArray& line, SmtpReply& reply, int replyMs);
    bool expect(SmtpConnection& c, const QByteArray& line, int code, int replyMs);
    bool read(SmtpConnection& c, SmtpReply& reply, int replyMs);
    bool logIn(SmtpConnection& c, const MailAccount& account);
    bool logInWithLogin(SmtpConnection& c, const MailAccount& account);
    SendOutcome transaction(SmtpConnection& c, const SmtpEnvelope& envelope, const QByteArray& message,
                            const SmtpObserver& observer);
    SendOutcome end(SmtpConnection& c, SendOutcome outcome);
    SendOutcome failedConnection(SmtpConnection& c, SendOutcome otherwise);

    const std::atomic_bool& m_cancel;
    SmtpLimits m_limits;
    QList<QSslCertificate> m_ca;
    QList<QByteArray> m_capabilities;
    QByteArray m_lastReply;
    QByteArray m_refusal;
};

// Doubles a period at the start of every line, so the final "\r\n.\r\n" is
// the only line that holds a single period.
QByteArray dotStuffed(const QByteArray& message);

}  // namespace postlet
