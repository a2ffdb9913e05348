#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>

namespace testing_support {

// A mail server on loopback that plays a fixed script to the first client,
// for replies no well-behaved server gives: each step says something, waits
// for a line or for the message data, pauses, hangs up or answers every line
// the same way forever. After the last step it stays silent with the
// connection open. Lives on the thread that creates it.
class ScriptedSmtpServer : public QObject {
    Q_OBJECT
public:
    ScriptedSmtpServer();

    ScriptedSmtpServer& say(const QByteArray& bytes);
    ScriptedSmtpServer& hear();      // one line from the client
    ScriptedSmtpServer& hearData();  // everything up to "\r\n.\r\n"
    ScriptedSmtpServer& pause(int ms);
    ScriptedSmtpServer& hangUp();
    ScriptedSmtpServer& answerEveryLine(const QByteArray& bytes);

    // Greeting, EHLO and AUTH LOGIN accepted.
    ScriptedSmtpServer& upToLogin(const QByteArray& greeting = "220 hostile.test ready\r\n");
    // MAIL FROM and the one RCPT TO of a mail whose Cc repeats its To accepted.
    ScriptedSmtpServer& upToData();

    quint16 port() const { return m_server.serverPort(); }
    QString address() const { return QStringLiteral("127.0.0.1:%1").arg(port()); }

    // The lines the client sent, without line ends.
    const QList<QByteArray>& heard() const { return m_heard; }
    // What arrived after DATA.
    const QByteArray& data() const { return m_data; }
    bool clientClosed() const { return m_clientClosed; }
    bool hasClient() const { return !m_client.isNull(); }

private:
    struct Step {
        enum Kind { Say, Hear, HearData, Pause, HangUp, AnswerEveryLine } kind;
        QByteArray bytes;
        int ms = 0;
    };

    ScriptedSmtpServer& add(Step step);
    void accept();
    void advance();
    bool takeLine(QByteArray& line);

    QTcpServer m_server;
    QPointer<QTcpSocket> m_client;
    QList<Step> m_steps;
    qsizetype m_next = 0;
    bool m_pausing = false;
    QByteArray m_in;
    QList<QByteArray> m_heard;
    QByteArray m_data;
    bool m_clientClosed = false;
};

}  // namespace testing_support
