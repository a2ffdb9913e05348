// Mails delivered to a real SMTP server (aiosmtpd on loopback) and parsed back
// with Python's email package.
#include "postlet/core/mail_message.h"
#include "postlet/core/mail_send_job.h"

#include "local_smtp_server.h"
#include "sandbox.h"
#include "send_helpers.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QJsonArray>
#include <QRandomGenerator>

#include <gtest/gtest.h>

using namespace postlet;
using testing_support::LocalSmtpServer;

namespace {

const QString kScript = QStringLiteral(POSTLET_TEST_DIR "/local_smtp_server.py");
const QString kUser = QStringLiteral("Jürgen");
const QString kPassword = QStringLiteral("s3cret pass");

class Delivery : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (m_server.port() == 0)
            GTEST_SKIP() << "aiosmtpd is not installed (tools/setup.sh installs python3-aiosmtpd)";
        m_account = {m_server.address(), QStringLiteral("bench@example.org"), kUser, kPassword};
    }

    QString pictureOf(qint64 size, const QString& name = QStringLiteral("picture.jpg"))
    {
        QByteArray bytes(size, Qt::Uninitialized);
        QRandomGenerator gen(42);
        for (qsizetype i = 0; i < bytes.size(); ++i)
            bytes[i] = static_cast<char>(gen.generate() & 0xFF);
        const QString path = m_box.path() + QLatin1Char('/') + name;
        testing_support::writeFile(path, bytes);
        m_pictureHash = QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
        return path;
    }

    testing_support::Sandbox m_box;
    LocalSmtpServer m_server{kScript, {QStringLiteral("--user"), kUser, QStringLiteral("--password"), kPassword}};
    MailAccount m_account;
    QString m_pictureHash;
};

QStringList strings(const QJsonValue& v)
{
    QStringList out;
    for (const QJsonValue& e : v.toArray())
        out << e.toString();
    return out;
}

}  // namespace

TEST_F(Delivery, HeadersNamesBodyAndPictureArriveIntact)
{
    const QString subject = QStringLiteral("Probe 7 – Ätzung unter dem Mikroskop 顕微鏡");
    const QString body = QStringLiteral(
        ".first line starts with a period\nsecond = 5 µm\n.\n..two dots\n"
        "-- \n--#BOUNDARY#\nlast line");
    const MailRequest request{QStringLiteral("colleague@example.org"), QString(), subject, body,
                              pictureOf(3000, QStringLiteral("Probe 7.jpg"))};
    const auto result = testing_support::sendWithJob(m_account, request);
    ASSERT_TRUE(result.finished);
    ASSERT_EQ(result.outcome, SendOutcome::Sent);
    EXPECT_FALSE(result.encrypted);
    EXPECT_EQ(result.lastSent, result.total);

    ASSERT_EQ(m_server.messageCount(), 1);
    const QJsonObject m = m_server.message(1);
    EXPECT_EQ(m[QLatin1String("mail_from")].toString(), QStringLiteral("bench@example.org"));
    EXPECT_EQ(strings(m[QLatin1String("rcpt_tos")]), QStringList{"colleague@example.org"});  // one copy
    EXPECT_EQ(m[QLatin1String("login")].toString(), kUser);
    EXPECT_EQ(m[QLatin1String("from_name")].toString(), kUser);
    EXPECT_EQ(m[QLatin1String("from_address")].toString(), QStringLiteral("bench@example.org"));
    EXPECT_EQ(strings(m[QLatin1String("to")]), QStringList{"colleague@example.org"});
    EXPECT_EQ(strings(m[QLatin1String("cc")]), QStringList{"colleague@example.org"});  // Cc defaults to To
    EXPECT_EQ(m[QLatin1String("subject")].toString(), subject);
    EXPECT_EQ(m[QLatin1String("x_mailer")].toString(), QStringLiteral("SMTP Sender V1.0"));
    EXPECT_EQ(m[QLatin1String("date_utcoffset_minutes")].toInt(), QDateTime::currentDateTime().offsetFromUtc() / 60);
    EXPECT_EQ(m[QLatin1String("content_type")].toString(), QStringLiteral("multipart/mixed"));
    EXPECT_EQ(m[QLatin1String("body")].toString(), body);  // dot-stuffing undone, nothing taken for a boundary
    const QJsonArray attachments = m[QLatin1String("attachments")].toArray();
    ASSERT_EQ(attachments.size(), 1);
    EXPECT_EQ(attachments[0][QLatin1String("filename")].toString(), QStringLiteral("Probe 7.jpg"));
    EXPECT_EQ(attachments[0][QLatin1String("size")].toInt(), 3000);
    EXPECT_EQ(attachments[0][QLatin1String("sha256")].toString(), m_pictureHash);
    EXPECT_TRUE(m[QLatin1String("defects")].toArray().isEmpty()) << m_server.rawMessage(1).left(2000).constData();
}

TEST_F(Delivery, CcGetsItsOwnRecipientAndNonAsciiFileNamesSurvive)
{
    const MailRequest request{QStringLiteral("a@example.org"), QStringLiteral("b@example.org"), QStringLiteral("plain"),
                              QStringLiteral("text"), pictureOf(10, QStringLiteral("Schliff \"Ü\" 2.bmp"))};
    ASSERT_EQ(testing_support::sendWithJob(m_account, request).outcome, SendOutcome::Sent);
    const QJsonObject m = m_server.message(1);
    EXPECT_EQ(strings(m[QLatin1String("rcpt_tos")]), (QStringList{"a@example.org", "b@example.org"}));
    EXPECT_EQ(strings(m[QLatin1String("cc")]), QStringList{"b@example.org"});
    EXPECT_EQ(m[QLatin1String("subject")].toString(), QStringLiteral("plain"));
    EXPECT_EQ(m[QLatin1String("attachments")][0][QLatin1String("filename")].toString(), QStringLiteral("Schliff \"Ü\" 2.bmp"));
}

TEST_F(Delivery, AMailboxInToAndCcIsAskedForOnce)
{
    // The same mailbox with its domain written otherwise: one copy, the Cc header as typed.
    MailRequest request{
        QStringLiteral("ann@Example.ORG"), QStringLiteral(" ann@example.org"), QStringLiteral("s"), QStringLiteral("b"), {}};
    ASSERT_EQ(testing_support::sendWithJob(m_account, request).outcome, SendOutcome::Sent);
    EXPECT_EQ(strings(m_server.message(1)[QLatin1String("rcpt_tos")]), QStringList{"ann@Example.ORG"});
    EXPECT_EQ(strings(m_server.message(1)[QLatin1String("cc")]), QStringList{"ann@example.org"});

    // A local part in another case may name another mailbox: both are asked for.
    request.cc = QStringLiteral("Ann@example.org");
    ASSERT_EQ(testing_support::sendWithJob(m_account, request).outcome, SendOutcome::Sent);
    EXPECT_EQ(strings(m_server.message(2)[QLatin1String("rcpt_tos")]), (QStringList{"ann@Example.ORG", "Ann@example.org"}));
}

TEST_F(Delivery, TenMebibytePictureArrivesWhole)
{
    const MailRequest request{QStringLiteral("a@example.org"), QString(), QStringLiteral("big"), QStringLiteral("b"),
                              pictureOf(kMaxAttachmentBytes)};
    const auto result = testing_support::sendWithJob(m_account, request);
    ASSERT_EQ(result.outcome, SendOutcome::Sent);
    EXPECT_GT(result.total, 13 * 1024 * 1024);
    const QJsonArray attachments = m_server.message(1)[QLatin1String("attachments")].toArray();
    ASSERT_EQ(attachments.size(), 1);
    EXPECT_EQ(attachments[0][QLatin1String("size")].toInteger(), kMaxAttachmentBytes);
    EXPECT_EQ(attachments[0][QLatin1String("sha256")].toString(), m_pictureHash);
}

TEST_F(Delivery, OneByteMoreGoesAsPlainTextWithoutThePicture)
{
    const MailRequest request{QStringLiteral("a@example.org"), QString(), QStringLiteral("too big"), QStringLiteral("b"),
                              pictureOf(kMaxAttachmentBytes + 1)};
    ASSERT_EQ(testing_support::sendWithJob(m_account, request).outcome, SendOutcome::Sent);
    const QJsonObject m = m_server.message(1);
    EXPECT_EQ(m[QLatin1String("content_type")].toString(), QStringLiteral("text/plain"));
    EXPECT_FALSE(m[QLatin1String("is_multipart")].toBool());
    EXPECT_TRUE(m[QLatin1String("attachments")].toArray().isEmpty());
    EXPECT_FALSE(m_server.rawMessage(1).contains("BOUNDARY"));
    EXPECT_EQ(m[QLatin1String("body")].toString(), QStringLiteral("b\n"));
}

TEST_F(Delivery, MissingPictureGoesAsPlainText)
{
    const MailRequest request{QStringLiteral("a@example.org"), QString(), QStringLiteral("s"), QStringLiteral("b"),
                              m_box.path() + QLatin1String("/gone.jpg")};
    ASSERT_EQ(testing_support::sendWithJob(m_account, request).outcome, SendOutcome::Sent);
    EXPECT_EQ(m_server.message(1)[QLatin1String("content_type")].toString(), QStringLiteral("text/plain"));
}

TEST_F(Delivery, WrongPasswordIsAnAuthenticationFailure)
{
    m_account.password = QStringLiteral("wrong");
    const MailRequest request{QStringLiteral("a@example.org"), QString(), QStringLiteral("s"), QStringLiteral("b"), {}};
    const auto result = testing_support::sendWithJob(m_account, request);
    ASSERT_TRUE(result.finished);
    EXPECT_EQ(result.outcome, SendOutcome::AuthFailed);
    EXPECT_EQ(m_server.messageCount(), 0);
}

TEST_F(Delivery, UnknownServerIsAConnectionFailure)
{
    m_account.server = QStringLiteral("127.0.0.1:1");  // nothing listens there
    const MailRequest request{QStringLiteral("a@example.org"), QString(), QStringLiteral("s"), QStringLiteral("b"), {}};
    EXPECT_EQ(testing_support::sendWithJob(m_account, request).outcome, SendOutcome::ConnectFailed);
}

TEST(DeliveryPlainLogin, AuthPlainWhereLoginIsNotOffered)
{
    LocalSmtpServer server(kScript, {QStringLiteral("--no-login")});
    if (server.port() == 0)
        GTEST_SKIP() << "aiosmtpd is not installed";
    const MailAccount account{server.address(), QStringLiteral("bench@example.org"), QStringLiteral("bench"),
                              QStringLiteral("secret")};
    const MailRequest request{QStringLiteral("a@example.org"), QString(), QStringLiteral("s"), QStringLiteral("b"), {}};
    ASSERT_EQ(testing_support::sendWithJob(account, request).outcome, SendOutcome::Sent);
    EXPECT_EQ(server.message(1)[QLatin1String("login")].toString(), QStringLiteral("bench"));
}

TEST(DeliveryRequiredTls, PlainServerOnTheSubmissionPortIsRefused)
{
    LocalSmtpServer server(kScript);
    if (server.port() == 0)
        GTEST_SKIP() << "aiosmtpd is not installed";
    const std::atomic_bool cancel{false};
    SmtpSession session(cancel, testing_support::quickLimits());
    const ServerAddress address{QStringLiteral("127.0.0.1"), server.port(), TlsMode::StartTls};
    const MailAccount account{server.address(), QStringLiteral("bench@example.org"), QStringLiteral("bench"),
                              QStringLiteral("secret")};
    EXPECT_EQ(session.send(address, account, {QStringLiteral("bench@example.org"), {QStringLiteral("a@example.org")}},
                           "Subject: s\r\n\r\nb", "localhost"),
              SendOutcome::TlsUnavailable);
    EXPECT_EQ(server.messageCount(), 0);
}
