#include "smtp_connection.h"

#include <QEventLoop>
#include <QSslConfiguration>
#include <QSslSocket>
#include <QTimer>

namespace postlet {

namespace {

// How often a wait looks at the cancel flag and its deadline.
constexpr int kPollMs = 20;
// Sending hands the socket this much at a time and keeps at most
// kHighWater bytes queued, so progress follows what really left.
constexpr qint64 kChunk = 64 * 1024;
constexpr qint64 kHighWater = 256 * 1024;

}  // namespace

SmtpConnection::SmtpConnection(const std::atomic_bool& cancel, QList<QSslCertificate> caCertificates)
    : m_cancel(cancel), m_socket(std::make_unique<QSslSocket>())
{
    QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
    if (!caCertificates.isEmpty())
        tls.setCaCertificates(caCertificates);
    tls.setPeerVerifyMode(QSslSocket::VerifyPeer);
    m_socket->setSslConfiguration(tls);
    m_socket->setReadBufferSize(kChunk);
    QObject::connect(m_socket.get(), &QAbstractSocket::errorOccurred, [this] { m_socketError = true; });
    QObject::connect(m_socket.get(), &QSslSocket::sslErrors, [this](const QList<QSslError>& e) { m_sslErrors = e; });
}

SmtpConnection::~SmtpConnection()
{
    close();
}

bool SmtpConnection::fail(Failure f)
{
    m_failure = f;
    return false;
}

bool SmtpConnection::waitUntil(const std::function<bool()>& done, QDeadlineTimer deadline)
{
    QTimer tick;
    tick.start(kPollMs);
    QEventLoop loop;
    while (!done()) {
        if (m_cancel.load())
            return fail(Failure::Cancelled);
        if (m_socketError) {
            switch (m_socket->error()) {
            case QAbstractSocket::SslHandshakeFailedError:
                return fail(m_sslErrors.isEmpty() ? Failure::Tls : Failure::Certificate);
            case QAbstractSocket::ConnectionRefusedError:
            case QAbstractSocket::HostNotFoundError:
            case QAbstractSocket::NetworkError:
                return fail(m_socket->state() == QAbstractSocket::ConnectedState ? Failure::Closed : Failure::Refused);
            default: return fail(Failure::Closed);
            }
        }
        if (deadline.hasExpired())
            return fail(Failure::Timeout);
        loop.processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

bool SmtpConnection::connectPlain(const QString& host, quint16 port, QDeadlineTimer deadline)
{
    m_socket->connectToHost(host, port);
    const bool ok = waitUntil([this] { return m_socket->state() == QAbstractSocket::ConnectedState; }, deadline);
    if (!ok && m_failure == Failure::Closed)
        m_failure = Failure::Refused;
    return ok;
}

bool SmtpConnection::connectEncrypted(const QString& host, quint16 port, QDeadlineTimer deadline)
{
    m_socket->connectToHostEncrypted(host, port);
    return encryptWithin(deadline);
}

bool SmtpConnection::startTls(QDeadlineTimer deadline)
{
    m_socket->startClientEncryption();
    return encryptWithin(deadline);
}

bool SmtpConnection::encryptWithin(QDeadlineTimer deadline)
{
    const bool ok = waitUntil([this] { return m_socket->isEncrypted(); }, deadline);
    // A refused certificate ends the handshake; say why, whatever error the
    // socket reported for it.
    if (!ok && !m_sslErrors.isEmpty() && m_failure != Failure::Cancelled)
        m_failure = Failure::Certificate;
    return ok;
}

void SmtpConnection::takeIncoming()
{
    if (m_socket->bytesAvailable() > 0)
        m_parser.feed(m_socket->readAll());
}

bool SmtpConnection::readReply(SmtpReply& out, QDeadlineTimer deadline)
{
    auto status = SmtpReplyParser::Status::NeedMore;
    const bool ok = waitUntil(
        [&] {
            takeIncoming();
            status = m_parser.next(out);
            return status != SmtpReplyParser::Status::NeedMore;
        },
        deadline);
    if (!ok)
        return false;
    return status == SmtpReplyParser::Status::Complete || fail(Failure::Malformed);
}

bool SmtpConnection::hasUnreadBytes() const
{
    return m_socket->bytesAvailable() > 0 || m_parser.pendingBytes() > 0;
}

bool SmtpConnection::send(const QByteArray& bytes, int stallMs, const std::function<void(qint64)>& progress)
{
    const auto queued = [this] { return m_socket->bytesToWrite() + m_socket->encryptedBytesToWrite(); };
    const qint64 total = bytes.size();
    qint64 handed = 0;
    qint64 reported = -1;
    while (true) {
        while (handed < total && queued() < kHighWater) {
            const qint64 n = m_socket->write(bytes.constData() + handed, std::min(kChunk, total - handed));
            if (n <= 0)
                return fail(Failure::Closed);
            handed += n;
        }
        const qint64 waiting = queued();
        const qint64 sent = handed - std::min(waiting, handed);
        if (progress && sent != reported) {
            progress(sent);
            reported = sent;
        }
        if (handed == total && waiting == 0)
            return true;
        if (!waitUntil([&] { return queued() < waiting; }, QDeadlineTimer(stallMs)))
            return false;
    }
}

bool SmtpConnection::isEncrypted() const
{
    return m_socket->isEncrypted();
}

void SmtpConnection::close()
{
    if (m_socket->state() != QAbstractSocket::UnconnectedState)
        m_socket->abort();
}

}  // namespace postlet
