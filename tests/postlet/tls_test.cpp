// Encrypted deliveries: STARTTLS and TLS from the first byte, against aiosmtpd
// with a certificate made for the test. The certificate is trusted only where
// the test says so; a refused certificate never falls back to plain text.
#include "postlet/core/smtp_session.h"

#include "local_smtp_server.h"
#include "send_helpers.h"

#include <QProcess>
#include <QSslSocket>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace postlet;
using testing_support::LocalSmtpServer;

namespace {

const QString kScript = QStringLiteral(POSTLET_TEST_DIR "/local_smtp_server.py");

// A self-signed certificate for `names` (subjectAltName entries).
struct TestCertificate {
    explicit TestCertificate(const QString& names)
    {
        QProcess openssl;
        openssl.start(QStringLiteral("openssl"),
                      {"req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes", "-days", "2",
                       "-subj", "/CN=Postlet test", "-addext", "subjectAltName=" + names, "-keyout", key(), "-out", cert()});
        if (openssl.waitForFinished(30000) && openssl.exitCode() == 0)
            certificates = QSslCertificate::fromPath(cert());
    }
    QString cert() const { return dir.filePath(QStringLiteral("cert.pem")); }
    QString key() const { return dir.filePath(QStringLiteral("key.pem")); }

    QTemporaryDir dir;
    QList<QSslCertificate> certificates;
};

class TlsDelivery : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!QSslSocket::supportsSsl())
            GTEST_SKIP() << "no TLS backend";
        ASSERT_EQ(m_cert.certificates.size(), 1) << "openssl could not make a certificate";
    }

    std::unique_ptr<LocalSmtpServer> start(const char* mode)
    {
        auto server = std::make_unique<LocalSmtpServer>(
            kScript, QStringList{"--tls", mode, "--cert", m_cert.cert(), "--key", m_cert.key()});
        return server;
    }

    SendOutcome send(const LocalSmtpServer& server, TlsMode mode, const QList<QSslCertificate>& trusted,
                     bool* encrypted = nullptr)
    {
        const std::atomic_bool cancel{false};
        SmtpSession session(cancel, testing_support::quickLimits(), trusted);
        SmtpObserver observer;
        observer.encrypted = [encrypted](bool e) {
            if (encrypted)
                *encrypted = e;
        };
        const ServerAddress address{QStringLiteral("127.0.0.1"), server.port(), mode};
        const MailAccount account{server.address(), QStringLiteral("bench@example.org"), QStringLiteral("bench"),
                                  QStringLiteral("secret")};
        return session.send(address, account, {QStringLiteral("bench@example.org"), {QStringLiteral("a@example.org")}},
                            "From: bench@example.org\r\nTo: a@example.org\r\nSubject: tls\r\n\r\nbody", "localhost", observer);
    }

    TestCertificate m_cert{QStringLiteral("DNS:localhost,IP:127.0.0.1")};
};

}  // namespace

TEST_F(TlsDelivery, StartTlsUpgradesBeforeTheLogin)
{
    const auto server = start("starttls");
    if (server->port() == 0)
        GTEST_SKIP() << "aiosmtpd is not installed";
    bool encrypted = false;
    // WhenOffered: the server offers STARTTLS (and refuses mail without it).
    EXPECT_EQ(send(*server, TlsMode::WhenOffered, m_cert.certificates, &encrypted), SendOutcome::Sent);
    EXPECT_TRUE(encrypted);
    EXPECT_EQ(server->messageCount(), 1);
    EXPECT_EQ(server->message(1)[QLatin1String("subject")].toString(), QStringLiteral("tls"));
}

TEST_F(TlsDelivery, ImplicitTlsFromTheFirstByte)
{
    const auto server = start("implicit");
    if (server->port() == 0)
        GTEST_SKIP() << "aiosmtpd is not installed";
    bool encrypted = false;
    EXPECT_EQ(send(*server, TlsMode::Implicit, m_cert.certificates, &encrypted), SendOutcome::Sent);
    EXPECT_TRUE(encrypted);
    EXPECT_EQ(server->messageCount(), 1);
}

TEST_F(TlsDelivery, UntrustedCertificateIsRefusedOnBothWays)
{
    // Only another certificate is trusted.
    const TestCertificate other(QStringLiteral("DNS:localhost,IP:127.0.0.1"));
    ASSERT_EQ(other.certificates.size(), 1);
    const auto starttls = start("starttls");
    const auto implicit = start("implicit");
    if (starttls->port() == 0 || implicit->port() == 0)
        GTEST_SKIP() << "aiosmtpd is not installed";
    EXPECT_EQ(send(*starttls, TlsMode::WhenOffered, other.certificates), SendOutcome::CertificateFailed);
    EXPECT_EQ(send(*implicit, TlsMode::Implicit, other.certificates), SendOutcome::CertificateFailed);
    EXPECT_EQ(starttls->messageCount() + implicit->messageCount(), 0);
}

TEST_F(TlsDelivery, CertificateForAnotherNameIsRefused)
{
    const TestCertificate elsewhere(QStringLiteral("DNS:mail.example.org"));
    ASSERT_EQ(elsewhere.certificates.size(), 1);
    LocalSmtpServer server(kScript, {"--tls", "implicit", "--cert", elsewhere.cert(), "--key", elsewhere.key()});
    if (server.port() == 0)
        GTEST_SKIP() << "aiosmtpd is not installed";
    EXPECT_EQ(send(server, TlsMode::Implicit, elsewhere.certificates), SendOutcome::CertificateFailed);
    EXPECT_EQ(server.messageCount(), 0);
}
