#include "window_messages.h"

#include "known_folders.h"

#include <QDeadlineTimer>
#include <QLocalServer>
#include <QLocalSocket>

#include <array>

namespace platform {

namespace {

// One message a line: "<number> <wParam> <lParam>\n", answered by
// "<result>\n". A line longer than this is not ours and ends the connection.
constexpr qsizetype kLongestLine = 80;

QString socketPath(const QString& title)
{
    QString name = title;
    for (QChar& c : name) {
        if (c == QLatin1Char('/') || !c.isPrint())
            c = QLatin1Char('_');
    }
    return runtimeFolder() + QLatin1String("/window-") + name + QLatin1String(".socket");
}

std::optional<std::array<qint64, 3>> parseRequest(const QByteArray& line)
{
    const QList<QByteArray> fields = line.trimmed().split(' ');
    if (fields.size() != 3)
        return std::nullopt;
    std::array<qint64, 3> values{};
    for (int i = 0; i < 3; ++i) {
        bool ok = false;
        values[static_cast<size_t>(i)] = fields[i].toLongLong(&ok);
        if (!ok)
            return std::nullopt;
    }
    return values;
}

int remaining(const QDeadlineTimer& deadline)
{
    return static_cast<int>(std::max<qint64>(1, deadline.remainingTime()));
}

}  // namespace

MessageWindow::MessageWindow(const QString& title, Handler handler, QObject* parent)
    : QObject(parent), m_handler(std::move(handler))
{
    if (windowExists(title))
        return;  // a live window has the title; never take its socket away
    const QString path = socketPath(title);
    QLocalServer::removeServer(path);  // left by a program that ended without closing it
    m_server = std::make_unique<QLocalServer>();
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server.get(), &QLocalServer::newConnection, this, &MessageWindow::takeConnection);
    if (!m_server->listen(path)) {
        qWarning("cannot listen for window \"%s\" on %s: %s", qPrintable(title), qPrintable(path),
                 qPrintable(m_server->errorString()));
        m_server.reset();
    }
}

MessageWindow::~MessageWindow() = default;

bool MessageWindow::isListening() const
{
    return m_server && m_server->isListening();
}

void MessageWindow::takeConnection()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            while (socket->canReadLine()) {
                const auto request = parseRequest(socket->readLine(kLongestLine + 1));
                if (!request) {
                    socket->abort();
                    return;
                }
                const qint64 answer = m_handler ? m_handler(static_cast<int>((*request)[0]), (*request)[1], (*request)[2]) : 0;
                socket->write(QByteArray::number(answer) + '\n');
            }
            if (socket->bytesAvailable() > kLongestLine)
                socket->abort();
        });
    }
}

bool windowExists(const QString& title)
{
    QLocalSocket socket;
    socket.connectToServer(socketPath(title));
    return socket.waitForConnected(500);
}

std::optional<qint64> sendWindowMessage(const QString& title, int message, qint64 wParam, qint64 lParam, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    QLocalSocket socket;
    socket.connectToServer(socketPath(title));
    if (!socket.waitForConnected(remaining(deadline)))
        return std::nullopt;
    socket.write(QByteArray::number(message) + ' ' + QByteArray::number(wParam) + ' ' + QByteArray::number(lParam) + '\n');
    if (!socket.waitForBytesWritten(remaining(deadline)))
        return std::nullopt;
    while (!socket.canReadLine()) {
        if (deadline.hasExpired() || !socket.waitForReadyRead(remaining(deadline)))
            return std::nullopt;
        if (socket.bytesAvailable() > kLongestLine)
            return std::nullopt;
    }
    bool ok = false;
    const qint64 answer = socket.readLine(kLongestLine + 1).trimmed().toLongLong(&ok);
    return ok ? std::optional<qint64>(answer) : std::nullopt;
}

}  // namespace platform
