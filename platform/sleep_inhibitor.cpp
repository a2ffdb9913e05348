#include "sleep_inhibitor.h"

#include <QDBusMessage>
#include <QDBusUnixFileDescriptor>
#include <QFile>
#include <QFileInfo>

#include <atomic>

#include <unistd.h>

namespace platform {

namespace {

// Start-up must not hang on a bus that does not answer.
constexpr int kCallTimeoutMs = 1000;

const QString kScreenSaverService = QStringLiteral("org.freedesktop.ScreenSaver");
const QString kScreenSaverPath = QStringLiteral("/org/freedesktop/ScreenSaver");

QDBusMessage callMethod(QDBusConnection& bus, const QString& service, const QString& path, const QString& iface,
                        const QString& method, const QVariantList& args)
{
    QDBusMessage msg = QDBusMessage::createMethodCall(service, path, iface, method);
    msg.setArguments(args);
    return bus.call(msg, QDBus::Block, kCallTimeoutMs);
}

// A connection of its own to the session bus, or an unconnected one where no
// bus runs.
QDBusConnection connectSessionBus()
{
    static std::atomic<int> opened{0};
    const QString address = sessionBusAddress();
    if (address.isEmpty())
        return QDBusConnection(QStringLiteral("vellumet-no-session-bus"));
    return QDBusConnection::connectToBus(address, QStringLiteral("vellumet-session-%1").arg(++opened));
}

// A value in a D-Bus address: bytes other than letters, digits and "-_/.\*"
// are %-escaped.
QByteArray escapedAddressValue(const QByteArray& bytes)
{
    return bytes.toPercentEncoding("/\\*", "~");
}

}  // namespace

QString sessionBusAddress()
{
    QStringList usable;
    for (const QString& entry : qEnvironmentVariable("DBUS_SESSION_BUS_ADDRESS").split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        if (!entry.trimmed().startsWith(QLatin1String("autolaunch:")))
            usable.append(entry);
    }
    if (!usable.isEmpty())
        return usable.join(QLatin1Char(';'));
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    if (runtime.isEmpty() || !QFileInfo::exists(QFile::decodeName(runtime + "/bus")))
        return {};
    return QLatin1String("unix:path=") + QString::fromLatin1(escapedAddressValue(runtime + "/bus"));
}

SleepInhibitor::SleepInhibitor(const QString& who, const QString& why)
    : SleepInhibitor(QDBusConnection::systemBus(), connectSessionBus(), who, why)
{
    m_ownSession = true;
}

SleepInhibitor::SleepInhibitor(const QDBusConnection& systemBus, const QDBusConnection& sessionBus, const QString& who,
                               const QString& why)
    : m_system(systemBus), m_session(sessionBus)
{
    acquire(who, why);
}

void SleepInhibitor::acquire(const QString& who, const QString& why)
{
    if (m_system.isConnected()) {
        const QDBusMessage reply = callMethod(m_system, QStringLiteral("org.freedesktop.login1"),
                                              QStringLiteral("/org/freedesktop/login1"),
                                              QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("Inhibit"),
                                              {QStringLiteral("sleep:idle"), who, why, QStringLiteral("block")});
        if (reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty()) {
            const auto fd = reply.arguments().constFirst().value<QDBusUnixFileDescriptor>();
            if (fd.isValid())
                m_logindFd = ::dup(fd.fileDescriptor());
        }
    }
    if (m_session.isConnected()) {
        const QDBusMessage reply = callMethod(m_session, kScreenSaverService, kScreenSaverPath, kScreenSaverService,
                                              QStringLiteral("Inhibit"), {who, why});
        if (reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty())
            m_screenSaverCookie = reply.arguments().constFirst().toUInt();
    }
}

SleepInhibitor::~SleepInhibitor()
{
    if (m_logindFd >= 0)
        ::close(m_logindFd);  // closing the lock's descriptor releases it
    if (m_screenSaverCookie && m_session.isConnected())
        callMethod(m_session, kScreenSaverService, kScreenSaverPath, kScreenSaverService, QStringLiteral("UnInhibit"),
                   {*m_screenSaverCookie});
    if (m_ownSession)
        QDBusConnection::disconnectFromBus(m_session.name());
}

}  // namespace platform
