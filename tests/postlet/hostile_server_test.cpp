// Servers that misbehave: each case ends with its message, within the time
// limits, without a crash.
#include "postlet/core/mail_send_job.h"

#include "scripted_smtp_server.h"
#include "send_helpers.h"

#include <gtest/gtest.h>

using namespace postlet;
using testing_support::ScriptedSmtpServer;

namespace {

const MailRequest kRequest{QStringLiteral("to@example.org"), QString(), QStringLiteral("s"), QStringLiteral(".dot\nbody"),
                           QString()};

testing_support::SendResult sendTo(const ScriptedSmtpServer& server)
{
    const MailAccount account{server.address(), QStringLiteral("me@example.org"), QStringLiteral("me"), QStringLiteral("pw")};
    MailSendJob::Options options;
    options.limits = testing_support::quickLimits();
    return testing_support::sendWithJob(account, kRequest, options, 30000);
}

}  // namespace

TEST(HostileServer, WellBehavedScriptIsSent)
{
    ScriptedSmtpServer s;
    s.upToLogin().upToData().hear().say("354 go\r\n").hearData().say("250 queued\r\n").hear().say("221 bye\r\n");
    const auto r = sendTo(s);
    ASSERT_TRUE(r.finished);
    EXPECT_EQ(r.outcome, SendOutcome::Sent);
    ASSERT_GE(s.heard().size(), 8);
    EXPECT_TRUE(s.heard()[0].startsWith("EHLO "));
    EXPECT_EQ(s.heard()[1], "AUTH LOGIN");
    EXPECT_EQ(s.heard()[2], "bWU=");  // "me"
    EXPECT_EQ(s.heard()[3], "cHc=");  // "pw"
    EXPECT_EQ(s.heard()[4], "MAIL FROM:<me@example.org>");
    EXPECT_EQ(s.heard()[5], "RCPT TO:<to@example.org>");  // once, though Cc repeats it
    EXPECT_EQ(s.heard()[6], "DATA");
    EXPECT_EQ(s.heard().back(), "QUIT");
    EXPECT_TRUE(s.data().contains("\r\n\r\n..dot\r\nbody\r\n.\r\n"));
}

TEST(HostileServer, TwoLineGreeting)
{
    ScriptedSmtpServer s;
    s.upToLogin("220-hostile.test\r\n220 still greeting\r\n").upToData().hear().say("354 go\r\n").hearData().say("250 ok\r\n");
    const auto r = sendTo(s);
    EXPECT_EQ(r.outcome, SendOutcome::Sent);
    // The second greeting line was not taken for the answer to EHLO.
    ASSERT_GE(s.heard().size(), 2);
    EXPECT_EQ(s.heard()[1], "AUTH LOGIN");
}

TEST(HostileServer, ReplySplitInTheMiddleOfItsCode)
{
    ScriptedSmtpServer s;
    s.say("22").pause(200).say("0 ready\r\n").hear().say("25").pause(200).say("0 ok\r\n");
    s.hear().say("334 VXNlcm5hbWU6\r\n").hear().say("334 UGFzc3dvcmQ6\r\n").hear().say("23").pause(100).say("5 ok\r\n");
    s.upToData().hear().say("354 go\r\n").hearData().say("2").pause(100).say("50 ok\r\n");
    EXPECT_EQ(sendTo(s).outcome, SendOutcome::Sent);
}

TEST(HostileServer, BareLineFeeds)
{
    ScriptedSmtpServer s;
    s.say("220 lf only\n").hear().say("250-hostile\n250 AUTH LOGIN\n");
    s.hear().say("334 VXNlcm5hbWU6\n").hear().say("334 UGFzc3dvcmQ6\n").hear().say("235 ok\n");
    s.hear().say("250 ok\n").hear().say("250 ok\n").hear().say("354 go\n");
    s.hearData().say("250 ok\n").hear().say("221 bye\n");
    EXPECT_EQ(sendTo(s).outcome, SendOutcome::Sent);
}

TEST(HostileServer, ContinuationLineThenSilence)
{
    ScriptedSmtpServer s;
    s.say("220 ready\r\n").hear().say("250-hostile.test\r\n");
    const auto r = sendTo(s);
    ASSERT_TRUE(r.finished);
    EXPECT_EQ(r.outcome, SendOutcome::ConnectFailed);
}

TEST(HostileServer, ServerThatSaysNothing)
{
    ScriptedSmtpServer s;
    const auto r = sendTo(s);
    ASSERT_TRUE(r.finished);
    EXPECT_EQ(r.outcome, SendOutcome::ConnectFailed);
}

TEST(HostileServer, ReplyLineOfOneHundredThousandBytes)
{
    ScriptedSmtpServer s;
    s.say("220 " + QByteArray(100000, 'x') + "\r\n");
    const auto r = sendTo(s);
    ASSERT_TRUE(r.finished);
    EXPECT_EQ(r.outcome, SendOutcome::ConnectFailed);
    EXPECT_TRUE(s.heard().isEmpty());  // not even EHLO went out
}

TEST(HostileServer, AuthenticationRefused)
{
    ScriptedSmtpServer s;
    s.say("220 ready\r\n").hear().say("250-hostile\r\n250 AUTH LOGIN\r\n");
    s.hear().say("334 VXNlcm5hbWU6\r\n").hear().say("334 UGFzc3dvcmQ6\r\n").hear().say("535 5.7.8 no\r\n");
    s.hear().say("221 bye\r\n");
    EXPECT_EQ(sendTo(s).outcome, SendOutcome::AuthFailed);
    EXPECT_EQ(s.heard().back(), "QUIT");
}

TEST(HostileServer, ChallengesForever)
{
    ScriptedSmtpServer s;
    s.say("220 ready\r\n").hear().say("250 hostile\r\n").answerEveryLine("334 VXNlcm5hbWU6\r\n");
    const auto r = sendTo(s);
    ASSERT_TRUE(r.finished);
    EXPECT_EQ(r.outcome, SendOutcome::AuthFailed);
    EXPECT_LE(s.heard().size(), 6);
}

TEST(HostileServer, UnknownChallengeIsNotAnswered)
{
    ScriptedSmtpServer s;
    s.say("220 ready\r\n").hear().say("250 hostile\r\n").hear().say("334 U2VuZCBtZSBhbGw=\r\n");  // "Send me all"
    s.answerEveryLine("221 bye\r\n");
    EXPECT_EQ(sendTo(s).outcome, SendOutcome::AuthFailed);
    ASSERT_GE(s.heard().size(), 3);
    EXPECT_EQ(s.heard()[2], "QUIT");  // neither user name nor password went out
}

TEST(HostileServer, ServiceClosingAtRcpt)
{
    ScriptedSmtpServer s;
    s.upToLogin().hear().say("250 ok\r\n").hear().say("421 4.3.2 shutting down\r\n").hangUp();
    EXPECT_EQ(sendTo(s).outcome, SendOutcome::SendFailed);
}

TEST(HostileServer, ServiceClosingAtData)
{
    ScriptedSmtpServer s;
    s.upToLogin().upToData().hear().say("421 4.3.2 shutting down\r\n").hangUp();
    EXPECT_EQ(sendTo(s).outcome, SendOutcome::SendFailed);
}

TEST(HostileServer, MessageRefusedAfterTheFinalDot)
{
    ScriptedSmtpServer s;
    s.upToLogin().upToData().hear().say("354 go\r\n").hearData().say("552 5.3.4 too big\r\n").hear().say("221 bye\r\n");
    EXPECT_EQ(sendTo(s).outcome, SendOutcome::SendFailed);
}

TEST(HostileServer, ConnectionClosedInTheMiddleOfTheData)
{
    ScriptedSmtpServer s;
    s.upToLogin().upToData().hear().say("354 go\r\n").hear().hangUp();
    EXPECT_EQ(sendTo(s).outcome, SendOutcome::SendFailed);
}

TEST(HostileServer, SilenceAfterTheFinalDot)
{
    ScriptedSmtpServer s;
    s.upToLogin().upToData().hear().say("354 go\r\n").hearData();
    const auto r = sendTo(s);
    ASSERT_TRUE(r.finished);
    EXPECT_EQ(r.outcome, SendOutcome::SendFailed);
}

TEST(HostileServer, RepliesBeforeTheTlsHandshakeAreRefused)
{
    ScriptedSmtpServer s;
    // A reply smuggled in after the 220 to STARTTLS would later pass for one
    // that came encrypted.
    s.say("220 ready\r\n").hear().say("250-hostile\r\n250 STARTTLS\r\n").hear().say("220 go ahead\r\n235 ok\r\n");
    EXPECT_EQ(sendTo(s).outcome, SendOutcome::ConnectFailed);
}

TEST(HostileServer, CancelEndsAWaitAtOnce)
{
    ScriptedSmtpServer s;  // silent: the client waits for the greeting
    const MailAccount account{s.address(), QStringLiteral("me@example.org"), QStringLiteral("me"), QStringLiteral("pw")};
    MailSendJob::Options options;  // the full limits
    MailSendJob job(account, kRequest, options);
    int outcome = -1;
    QObject here;  // the answer is heard on this thread
    QObject::connect(&job, &MailSendJob::delivered, &here, [&](int o) { outcome = o; });
    job.start();
    ASSERT_TRUE(testing_support::waitFor([&] { return s.hasClient(); }));
    job.cancel();
    ASSERT_TRUE(testing_support::waitFor([&] { return outcome >= 0; }, 5000));  // far below the 30 s reply limit
    EXPECT_EQ(static_cast<SendOutcome>(outcome), SendOutcome::Cancelled);
}
