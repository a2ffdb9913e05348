#pragma once

// Starts local_smtp_server.py (aiosmtpd) on loopback for the lifetime of the
// object and reads back what it received. Header-only, so the benchmarks can
// use it too.

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

namespace testing_support {

class LocalSmtpServer {
public:
    // `script` is local_smtp_server.py; `arguments` are added to its own.
    LocalSmtpServer(const QString& script, const QStringList& arguments = {})
    {
        const QString python = QFile::exists(QStringLiteral("/usr/bin/python3")) ? QStringLiteral("/usr/bin/python3")
                                                                                 : QStringLiteral("python3");
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start(python, QStringList{script, QStringLiteral("--out"), m_out.path()} + arguments);
        if (!m_process.waitForStarted(10000))
            return;
        QByteArray line;
        QElapsedTimer t;
        t.start();
        while (!line.contains('\n') && t.elapsed() < 20000 && m_process.state() == QProcess::Running) {
            m_process.waitForReadyRead(200);
            line += m_process.readAll();
        }
        if (line.startsWith("PORT "))
            m_port = static_cast<quint16>(line.mid(5).trimmed().toUInt());
    }

    ~LocalSmtpServer()
    {
        m_process.closeWriteChannel();  // the server ends when its input closes
        if (!m_process.waitForFinished(5000)) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }

    LocalSmtpServer(const LocalSmtpServer&) = delete;
    LocalSmtpServer& operator=(const LocalSmtpServer&) = delete;

    // 0 when the server did not start (aiosmtpd missing).
    quint16 port() const { return m_port; }
    QString address() const { return QStringLiteral("127.0.0.1:%1").arg(m_port); }

    // The summary of the n-th message received (1-based); empty when none.
    QJsonObject message(int n) const
    {
        QFile f(m_out.filePath(QStringLiteral("%1.json").arg(n)));
        if (!f.open(QIODevice::ReadOnly))
            return {};
        return QJsonDocument::fromJson(f.readAll()).object();
    }

    int messageCount() const
    {
        return static_cast<int>(QDir(m_out.path()).entryList({QStringLiteral("*.json")}, QDir::Files).size());
    }

    // The bytes of the n-th message as the server received them.
    QByteArray rawMessage(int n) const
    {
        QFile f(m_out.filePath(QStringLiteral("%1.eml").arg(n)));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

private:
    QTemporaryDir m_out;
    QProcess m_process;
    quint16 m_port = 0;
};

}  // namespace testing_support
