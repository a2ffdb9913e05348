#include "scripted_smtp_server.h"

#include <QTimer>

namespace testing_support {

ScriptedSmtpServer::ScriptedSmtpServer()
{
    m_server.listen(QHostAddress::LocalHost, 0);
    connect(&m_server, &QTcpServer::newConnection, this, &ScriptedSmtpServer::accept);
}

ScriptedSmtpServer& ScriptedSmtpServer::add(Step step)
{
    m_steps.append(std::move(step));
    return *this;
}

ScriptedSmtpServer& ScriptedSmtpServer::say(const QByteArray& bytes)
{
    return add({Step::Say, bytes});
}

ScriptedSmtpServer& ScriptedSmtpServer::hear()
{
    return add({Step::Hear, {}});
}

ScriptedSmtpServer& ScriptedSmtpServer::hearData()
{
    return add({Step::HearData, {}});
}

ScriptedSmtpServer& ScriptedSmtpServer::pause(int ms)
{
    return add({Step::Pause, {}, ms});
}

ScriptedSmtpServer& ScriptedSmtpServer::hangUp()
{
    return add({Step::HangUp, {}});
}

ScriptedSmtpServer& ScriptedSmtpServer::answerEveryLine(const QByteArray& bytes)
{
    return add({Step::AnswerEveryLine, bytes});
}

ScriptedSmtpServer& ScriptedSmtpServer::upToLogin(const QByteArray& greeting)
{
    return say(greeting)
        .hear()
        .say("250-hostile.test\r\n250 AUTH LOGIN PLAIN\r\n")
        .hear()
        .say("334 VXNlcm5hbWU6\r\n")
        .hear()
        .say("334 UGFzc3dvcmQ6\r\n")
        .hear()
        .say("235 2.7.0 Authentication successful\r\n");
}

ScriptedSmtpServer& ScriptedSmtpServer::upToData()
{
    return hear().say("250 OK\r\n").hear().say("250 OK\r\n");
}

void ScriptedSmtpServer::accept()
{
    QTcpSocket* socket = m_server.nextPendingConnection();
    if (m_client) {
        socket->abort();
        socket->deleteLater();
        return;
    }
    m_client = socket;
    socket->setParent(this);
    connect(socket, &QTcpSocket::readyRead, this, &ScriptedSmtpServer::advance);
    connect(socket, &QTcpSocket::disconnected, this, [this] { m_clientClosed = true; });
    advance();
}

bool ScriptedSmtpServer::takeLine(QByteArray& line)
{
    const qsizetype lf = m_in.indexOf('\n');
    if (lf < 0)
        return false;
    line = m_in.left(lf);
    if (line.endsWith('\r'))
        line.chop(1);
    m_in.remove(0, lf + 1);
    m_heard.append(line);
    return true;
}

void ScriptedSmtpServer::advance()
{
    if (!m_client)
        return;
    m_in += m_client->readAll();
    while (!m_pausing && m_next < m_steps.size()) {
        const Step& step = m_steps[m_next];
        QByteArray line;
        switch (step.kind) {
        case Step::Say:
            m_client->write(step.bytes);
            m_client->flush();
            break;
        case Step::Hear:
            if (!takeLine(line))
                return;
            break;
        case Step::HearData: {
            m_data += m_in;
            m_in.clear();
            const qsizetype end = m_data.indexOf("\r\n.\r\n");
            if (end < 0)
                return;
            m_in = m_data.mid(end + 5);
            m_data.truncate(end + 5);
            break;
        }
        case Step::Pause:
            m_pausing = true;
            QTimer::singleShot(step.ms, this, [this] {
                m_pausing = false;
                ++m_next;
                advance();
            });
            return;
        case Step::HangUp: m_client->disconnectFromHost(); break;
        case Step::AnswerEveryLine:
            while (takeLine(line))
                m_client->write(step.bytes);
            return;
        }
        ++m_next;
    }
}

}  // namespace testing_support
