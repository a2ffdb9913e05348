#include "session_watcher.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>

#include <unistd.h>

namespace platform {

namespace {

const QString kService = QStringLiteral("org.freedesktop.login1");

// Start-up must not hang on a bus that does not answer.
constexpr int kCallTimeoutMs = 1000;

QDBusMessage call(QDBusConnection& bus, QDBusMessage message)
{
    return bus.call(message, QDBus::Block, kCallTimeoutMs);
}

// The bus's name for logind now; empty when it does not run.
QString logindOwner(QDBusConnection& bus)
{
    QDBusMessage ask = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.DBus"),
                                                      QStringLiteral("/org/freedesktop/DBus"),
                                                      QStringLiteral("org.freedesktop.DBus"), QStringLiteral("GetNameOwner"));
    ask << kService;
    const QDBusMessage reply = call(bus, ask);
    return reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty() ? reply.arguments().first().toString()
                                                                                      : QString();
}

// The session this process runs in; "auto" names the caller's own session
// when the process is not in one logind knows by its PID.
QString sessionPath(QDBusConnection& bus, const QString& logind)
{
    QDBusMessage ask = QDBusMessage::createMethodCall(logind, QStringLiteral("/org/freedesktop/login1"),
                                                      QStringLiteral("org.freedesktop.login1.Manager"),
                                                      QStringLiteral("GetSessionByPID"));
    ask << static_cast<quint32>(::getpid());
    const QDBusMessage reply = call(bus, ask);
    if (reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty())
        return qvariant_cast<QDBusObjectPath>(reply.arguments().first()).path();
    return QStringLiteral("/org/freedesktop/login1/session/auto");
}

}  // namespace

SessionUnlockWatcher::SessionUnlockWatcher(QObject* parent) : QObject(parent)
{
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected())
        return;
    const QString logind = logindOwner(bus);
    if (logind.isEmpty())
        return;
    // Subscribed by logind's unique name: for a well-known one Qt would ask
    // the bus for its owner itself, with no short time limit.
    m_watching = bus.connect(logind, sessionPath(bus, logind), QStringLiteral("org.freedesktop.login1.Session"),
                             QStringLiteral("Unlock"), this, SLOT(onUnlock()));
}

void SessionUnlockWatcher::onUnlock()
{
    Q_EMIT unlocked();
}

}  // namespace platform
