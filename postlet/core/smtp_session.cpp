#include "smtp_session.h"

#include "base64_lines.h"
#include "smtp_connection.h"

#include <algorithm>

namespace postlet {

namespace {

// QUIT comes after the mail was accepted or refused; its answer changes
// nothing, so a server that dawdles over it is not waited for long.
constexpr int kQuitMs = 5000;
// AUTH LOGIN asks for the user name and the password; a server that keeps
// asking is not answered a third time.
constexpr int kMaxLoginAnswers = 2;

// Longer challenges are no prompt for a name or a password.
constexpr qsizetype kMaxChallenge = 64;

// The letters of a challenge, in lower case: "User Name\0" gives "username".
QByteArray promptWords(const QByteArray& prompt)
{
    QByteArray out;
    for (const char c : prompt) {
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))
            out.append(static_cast<char>(c | 0x20));
    }
    return out;
}

// A refusal as the server wrote it, for the user to read: the code before
// each line, control characters blanked, no more than a message box holds.
QByteArray refusalText(const SmtpReply& reply)
{
    constexpr qsizetype kMaxLines = 5;
    constexpr qsizetype kMaxLineBytes = 200;
    QByteArray out;
    for (qsizetype i = 0; i < std::min(reply.lines.size(), kMaxLines); ++i) {
        QByteArray line = QByteArray::number(reply.code) + ' ' + reply.lines[i].left(kMaxLineBytes);
        for (char& c : line) {
            if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
                c = ' ';
        }
        out += (i > 0 ? "\n" : "") + line.trimmed();
    }
    return out;
}

bool isSafeCommand(const QByteArray& line)
{
    return !line.contains('\r') && !line.contains('\n') && !line.contains('\0');
}

QList<QByteArray> authMechanisms(const QList<QByteArray>& capabilities, bool& advertised)
{
    advertised = false;
    QList<QByteArray> mechanisms;
    for (const QByteArray& line : capabilities) {
        const QByteArray upper = line.toUpper();
        if (upper.startsWith("AUTH ") || upper.startsWith("AUTH=")) {
            advertised = true;
            mechanisms += upper.mid(5).simplified().split(' ');
        }
    }
    return mechanisms;
}

bool offers(const QList<QByteArray>& capabilities, const QByteArray& keyword)
{
    for (const QByteArray& line : capabilities) {
        const QByteArray upper = line.toUpper().trimmed();
        if (upper == keyword || upper.startsWith(keyword + ' '))
            return true;
    }
    return false;
}

}  // namespace

QByteArray dotStuffed(const QByteArray& message)
{
    QByteArray out;
    out.reserve(message.size() + message.size() / 64 + 2);
    if (message.startsWith('.'))
        out.append('.');
    qsizetype from = 0;
    while (true) {
        const qsizetype at = message.indexOf("\n.", from);
        if (at < 0)
            break;
        out.append(message.constData() + from, at + 1 - from).append('.');
        from = at + 1;
    }
    out.append(message.constData() + from, message.size() - from);
    return out;
}

SmtpSession::SmtpSession(const std::atomic_bool& cancel, SmtpLimits limits, QList<QSslCertificate> caCertificates)
    : m_cancel(cancel), m_limits(limits), m_ca(std::move(caCertificates))
{
}

bool SmtpSession::read(SmtpConnection& c, SmtpReply& reply, int replyMs)
{
    if (!c.readReply(reply, QDeadlineTimer(replyMs)))
        return false;
    m_lastReply = reply.lines.join('\n');
    // The first refusal is the reason; later ones (to QUIT, say) follow from it.
    if (reply.code >= 400 && m_refusal.isEmpty())
        m_refusal = refusalText(reply);
    return true;
}

bool SmtpSession::command(SmtpConnection& c, const QByteArray& line, SmtpReply& reply, int replyMs)
{
    // A value with a line break would smuggle in a command of its own.
    if (!isSafeCommand(line))
        return false;
    return c.send(line + "\r\n", m_limits.replyMs) && read(c, reply, replyMs);
}

bool SmtpSession::expect(SmtpConnection& c, const QByteArray& line, int code, int replyMs)
{
    SmtpReply reply;
    return command(c, line, reply, replyMs) && reply.code == code;
}

SendOutcome SmtpSession::end(SmtpConnection& c, SendOutcome outcome)
{
    if (c.failure() == SmtpConnection::Failure::None) {
        SmtpReply reply;
        command(c, "QUIT", reply, std::min(m_limits.replyMs, kQuitMs));
    }
    c.close();
    return outcome;
}

SendOutcome SmtpSession::failedConnection(SmtpConnection& c, SendOutcome otherwise)
{
    switch (c.failure()) {
    case SmtpConnection::Failure::Cancelled: return end(c, SendOutcome::Cancelled);
    case SmtpConnection::Failure::Certificate: return end(c, SendOutcome::CertificateFailed);
    default: return end(c, otherwise);
    }
}

SendOutcome SmtpSession::send(const ServerAddress& server, const MailAccount& account, const SmtpEnvelope& envelope,
                              const QByteArray& message, const QByteArray& localHost, const SmtpObserver& observer)
{
    const auto stage = [&](SendStage s) {
        if (observer.stage)
            observer.stage(s);
    };
    SmtpConnection c(m_cancel, m_ca);
    stage(SendStage::Connecting);
    const QDeadlineTimer connectBy(m_limits.connectMs);
    const bool connected = server.tls == TlsMode::Implicit ? c.connectEncrypted(server.host, server.port, connectBy)
                                                           : c.connectPlain(server.host, server.port, connectBy);
    if (!connected)
        return failedConnection(c, SendOutcome::ConnectFailed);

    SmtpReply reply;
    const QByteArray ehlo = "EHLO " + localHost;
    if (!read(c, reply, m_limits.replyMs) || reply.code != 220 || !command(c, ehlo, reply, m_limits.replyMs) || reply.code != 250)
        return failedConnection(c, SendOutcome::ConnectFailed);
    m_capabilities = reply.lines;

    if (!c.isEncrypted() && (server.tls == TlsMode::StartTls || offers(m_capabilities, "STARTTLS"))) {
        if (!offers(m_capabilities, "STARTTLS"))
            return end(c, SendOutcome::TlsUnavailable);
        if (!expect(c, "STARTTLS", 220, m_limits.replyMs))
            return failedConnection(c, SendOutcome::ConnectFailed);
        // Bytes sent before the handshake could pose as encrypted replies.
        if (c.hasUnreadBytes()) {
            c.close();
            return SendOutcome::ConnectFailed;
        }
        if (!c.startTls(QDeadlineTimer(m_limits.connectMs)) || !command(c, ehlo, reply, m_limits.replyMs) || reply.code != 250)
            return failedConnection(c, SendOutcome::ConnectFailed);
        m_capabilities = reply.lines;
    }
    if (observer.encrypted)
        observer.encrypted(c.isEncrypted());

    stage(SendStage::LoggingIn);
    if (!logIn(c, account))
        return failedConnection(c, SendOutcome::AuthFailed);

    stage(SendStage::Sending);
    const SendOutcome outcome = transaction(c, envelope, message, observer);
    stage(SendStage::Finishing);
    if (outcome != SendOutcome::Sent)
        return failedConnection(c, outcome);
    return end(c, SendOutcome::Sent);
}

bool SmtpSession::logIn(SmtpConnection& c, const MailAccount& account)
{
    if (account.userName.isEmpty())
        return false;
    bool advertised = false;
    const QList<QByteArray> mechanisms = authMechanisms(m_capabilities, advertised);
    if (advertised && !mechanisms.contains("LOGIN") && mechanisms.contains("PLAIN")) {
        const QByteArray token = '\0' + account.userName.toUtf8() + '\0' + account.password.toUtf8();
        return expect(c, "AUTH PLAIN " + encodeBase64(token), 235, m_limits.replyMs);
    }
    return logInWithLogin(c, account);
}

bool SmtpSession::logInWithLogin(SmtpConnection& c, const MailAccount& account)
{
    SmtpReply reply;
    if (!command(c, "AUTH LOGIN", reply, m_limits.replyMs) || reply.code != 334)
        return false;
    for (int answers = 0;; ++answers) {
        if (reply.code != 334)
            return reply.code == 235;
        if (answers == kMaxLoginAnswers)
            return false;
        // The challenge names what it wants: "Username:" and "Password:" as
        // most servers put it, "User Name" and "Password" with a zero byte as
        // others do. Anything else gets neither.
        const QByteArray asked = promptWords(decodeBase64Lenient(reply.lastText().left(kMaxChallenge)));
        QString answer;
        if (asked.startsWith("user"))
            answer = account.userName;
        else if (asked.startsWith("password"))
            answer = account.password;
        else
            return false;
        if (!command(c, encodeBase64(answer.toUtf8()), reply, m_limits.replyMs))
            return false;
    }
}

SendOutcome SmtpSession::transaction(SmtpConnection& c, const SmtpEnvelope& envelope, const QByteArray& message,
                                     const SmtpObserver& observer)
{
    if (!expect(c, "MAIL FROM:<" + envelope.from.toUtf8() + '>', 250, m_limits.replyMs))
        return SendOutcome::SendFailed;
    for (const QString& to : envelope.recipients) {
        if (!expect(c, "RCPT TO:<" + to.toUtf8() + '>', 250, m_limits.replyMs))
            return SendOutcome::SendFailed;
    }
    if (!expect(c, "DATA", 354, m_limits.replyMs))
        return SendOutcome::SendFailed;
    QByteArray data = dotStuffed(message);
    data += data.endsWith("\r\n") ? ".\r\n" : "\r\n.\r\n";
    const qint64 total = data.size();
    const auto progress = [&](qint64 sent) {
        if (observer.upload)
            observer.upload(sent, total);
    };
    SmtpReply reply;
    if (!c.send(data, m_limits.replyMs, progress) || !read(c, reply, m_limits.finalReplyMs) || reply.code != 250)
        return SendOutcome::SendFailed;
    return SendOutcome::Sent;
}

}  // namespace postlet
