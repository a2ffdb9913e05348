#include "single_instance.h"

#include "known_folders.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>

namespace platform {

namespace {

// Each argument one line of UTF-8, an empty line after the last; the first
// answers "ok". A peer that says more than this is cut off.
constexpr qint64 kMostBytes = 1 << 20;
const QByteArray kAnswer = QByteArrayLiteral("ok\n");

}  // namespace

SingleInstance::SingleInstance(const QString& name, QObject* parent)
    : QObject(parent),
      m_socketPath(runtimeFolder() + QLatin1Char('/') + name + QLatin1String(".socket")),
      m_lock(runtimeFolder() + QLatin1Char('/') + name + QLatin1String(".lock"), FileLock::Mode::TryOnce)
{
    if (!isFirst())
        return;
    // Holding the lock, nobody else listens: a socket left there is stale.
    QLocalServer::removeServer(m_socketPath);
    m_server = std::make_unique<QLocalServer>();
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server.get(), &QLocalServer::newConnection, this, &SingleInstance::takeConnection);
    if (!m_server->listen(m_socketPath))
        qWarning("%s: cannot listen on %s: %s", qPrintable(name), qPrintable(m_socketPath), qPrintable(m_server->errorString()));
}

SingleInstance::~SingleInstance() = default;

void SingleInstance::takeConnection()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (socket->bytesAvailable() > kMostBytes) {
                socket->abort();
                return;
            }
            QByteArray all = socket->peek(kMostBytes);
            if (!all.endsWith("\n\n") && all != "\n")
                return;  // not all there yet
            socket->readAll();
            all.chop(all == "\n" ? 1 : 2);
            QStringList arguments;
            if (!all.isEmpty()) {
                for (const QByteArray& line : all.split('\n'))
                    arguments.append(QString::fromUtf8(line));
            }
            socket->write(kAnswer);
            socket->flush();
            Q_EMIT handedOver(arguments);
        });
    }
}

bool SingleInstance::handOver(const QStringList& arguments, int timeoutMs) const
{
    QByteArray message;
    for (const QString& argument : arguments) {
        if (argument.contains(QLatin1Char('\n')) || argument.isEmpty())
            continue;  // a name the line protocol cannot carry
        message += argument.toUtf8() + '\n';
    }
    message += '\n';
    const QDeadlineTimer deadline(timeoutMs);
    // The first may still be starting: it listens only once it has the lock.
    QLocalSocket socket;
    while (true) {
        socket.connectToServer(m_socketPath);
        if (socket.waitForConnected(static_cast<int>(std::max<qint64>(1, deadline.remainingTime()))))
            break;
        if (deadline.hasExpired())
            return false;
        QThread::msleep(50);
    }
    socket.write(message);
    if (!socket.waitForBytesWritten(static_cast<int>(std::max<qint64>(1, deadline.remainingTime()))))
        return false;
    QByteArray answer;
    while (answer.size() < kAnswer.size()
           && socket.waitForReadyRead(static_cast<int>(std::max<qint64>(1, deadline.remainingTime()))))
        answer += socket.readAll();
    return answer.startsWith(kAnswer);
}

}  // namespace platform
