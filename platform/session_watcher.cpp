#include "session_watcher.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>

#include <unistd.h>

namespace platform {

namespace {

const QString kService = QStringLiteral("org.freedesktop.login1");

// The session this process runs in; "auto" names the caller's own session
// when the process is not in one logind knows by its PID.
QString sessionPath(QDBusConnection& bus)
{
    QDBusMessage call = QDBusMessage::createMethodCall(kService, QStringLiteral("/org/freedesktop/login1"),
                                                       QStringLiteral("org.freedesktop.login1.Manager"),
                                                       QStringLiteral("GetSessionByPID"));
    call << static_cast<quint32>(::getpid());
    const QDBusMessage reply = bus.call(call, QDBus::Block, 2000);
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
    const QString path = sessionPath(bus);
    m_watching = bus.connect(kService, path, QStringLiteral("org.freedesktop.login1.Session"), QStringLiteral("Unlock"), this,
                             SLOT(onUnlock()));
}

void SessionUnlockWatcher::onUnlock()
{
    Q_EMIT unlocked();
}

}  // namespace platform
