#pragma once

#include "smtp_reply.h"

#include <QByteArray>
#include <QDeadlineTimer>
#include <QList>
#include <QSslCertificate>
#include <QSslError>
#include <QString>

#include <atomic>
#include <functional>
#include <memory>

class QSslSocket;

namespace postlet {

// The byte stream to a mail server: plain TCP, upgraded to TLS in place or
// encrypted from the start, with every wait bounded by a deadline and by the
// caller's cancel flag. The calls block their thread but keep its event loop
// turning, so the socket's own signals (and anything else the thread owns)
// are served meanwhile.
class SmtpConnection {
public:
    enum class Failure {
        None,
        Refused,      // no connection (name unknown, refused, unreachable)
        Timeout,      // a deadline passed
        Closed,       // the server closed the connection
        Malformed,    // bytes that are no SMTP reply
        Certificate,  // the server's certificate failed verification
        Tls,          // the TLS handshake failed otherwise
        Cancelled,
    };

    // `cancel` is read from this thread and may be set from any other.
    // `caCertificates` replaces the system's trusted roots when not empty.
    SmtpConnection(const std::atomic_bool& cancel, QList<QSslCertificate> caCertificates);
    ~SmtpConnection();
    SmtpConnection(const SmtpConnection&) = delete;
    SmtpConnection& operator=(const SmtpConnection&) = delete;

    bool connectPlain(const QString& host, quint16 port, QDeadlineTimer deadline);
    bool connectEncrypted(const QString& host, quint16 port, QDeadlineTimer deadline);
    // Starts TLS on the open connection (after the server's 220 to STARTTLS);
    // the certificate must name the host connected to.
    bool startTls(QDeadlineTimer deadline);

    // Sends every byte. `progress` hears how many have left for the server;
    // `stallMs` bounds the time without any progress.
    bool send(const QByteArray& bytes, int stallMs, const std::function<void(qint64)>& progress = {});

    bool readReply(SmtpReply& out, QDeadlineTimer deadline);

    // Bytes that arrived after the last complete reply.
    bool hasUnreadBytes() const;

    bool isEncrypted() const;
    void close();

    Failure failure() const { return m_failure; }
    // Why the certificate was refused, for the user.
    const QList<QSslError>& certificateErrors() const { return m_sslErrors; }

private:
    bool waitUntil(const std::function<bool()>& done, QDeadlineTimer deadline);
    bool fail(Failure f);
    void takeIncoming();
    bool encryptWithin(QDeadlineTimer deadline);

    const std::atomic_bool& m_cancel;
    std::unique_ptr<QSslSocket> m_socket;
    SmtpReplyParser m_parser;
    Failure m_failure = Failure::None;
    bool m_socketError = false;
    QList<QSslError> m_sslErrors;
};

}  // namespace postlet
