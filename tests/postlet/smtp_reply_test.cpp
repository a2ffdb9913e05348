// Server replies cut out of the byte stream, however a server splits or
// stretches them.
#include "postlet/core/smtp_reply.h"
#include "postlet/core/smtp_session.h"

#include <gtest/gtest.h>

using namespace postlet;
using Status = SmtpReplyParser::Status;

TEST(SmtpReplyParser, MultiLineReplyEndsWithItsLastLine)
{
    SmtpReplyParser p;
    SmtpReply r;
    p.feed("250-mail.example.org\r\n250-AUTH LOGIN PLAIN\r\n");
    EXPECT_EQ(p.next(r), Status::NeedMore);  // a "250-" line promises more
    p.feed("250 STARTTLS\r\n");
    ASSERT_EQ(p.next(r), Status::Complete);
    EXPECT_EQ(r.code, 250);
    EXPECT_EQ(r.lines, (QList<QByteArray>{"mail.example.org", "AUTH LOGIN PLAIN", "STARTTLS"}));
    EXPECT_EQ(p.pendingBytes(), 0);
}

TEST(SmtpReplyParser, ReplySplitInsideItsCode)
{
    SmtpReplyParser p;
    SmtpReply r;
    p.feed("2");
    EXPECT_EQ(p.next(r), Status::NeedMore);
    p.feed("2");
    EXPECT_EQ(p.next(r), Status::NeedMore);
    p.feed("0 ready\r");
    EXPECT_EQ(p.next(r), Status::NeedMore);
    p.feed("\n354 go");
    ASSERT_EQ(p.next(r), Status::Complete);
    EXPECT_EQ(r.code, 220);
    EXPECT_EQ(r.lastText(), "ready");
    EXPECT_EQ(p.next(r), Status::NeedMore);  // the next reply is kept for later
    p.feed("\r\n");
    ASSERT_EQ(p.next(r), Status::Complete);
    EXPECT_EQ(r.code, 354);
}

TEST(SmtpReplyParser, BareLineFeedsAndBareCodes)
{
    SmtpReplyParser p;
    SmtpReply r;
    p.feed("220-one\n220 two\n250\n");
    ASSERT_EQ(p.next(r), Status::Complete);
    EXPECT_EQ(r.code, 220);
    EXPECT_EQ(r.lines.size(), 2);
    ASSERT_EQ(p.next(r), Status::Complete);
    EXPECT_EQ(r.code, 250);
}

TEST(SmtpReplyParser, RefusesWhatIsNoReply)
{
    for (const QByteArray& bad :
         {QByteArray("hello\r\n"), QByteArray("25\r\n"), QByteArray("250x\r\n"), QByteArray("250-a\r\n251 b\r\n")}) {
        SmtpReplyParser p;
        SmtpReply r;
        p.feed(bad);
        EXPECT_EQ(p.next(r), Status::Malformed) << bad.constData();
    }
}

TEST(SmtpReplyParser, AnEndlessLineIsRefusedBeforeItEnds)
{
    SmtpReplyParser p;
    SmtpReply r;
    p.feed("220 ");
    for (int i = 0; i < 10 && p.next(r) == Status::NeedMore; ++i)
        p.feed(QByteArray(1000, 'a'));
    EXPECT_EQ(p.next(r), Status::Malformed);
}

TEST(SmtpReplyParser, EndlessContinuationLinesAreRefused)
{
    SmtpReplyParser p;
    SmtpReply r;
    for (int i = 0; i < SmtpReplyParser::kMaxReplyLines + 1; ++i)
        p.feed("250-x\r\n");
    EXPECT_EQ(p.next(r), Status::Malformed);
}

TEST(DotStuffing, EveryLineStartingWithAPeriodGetsAnother)
{
    EXPECT_EQ(dotStuffed(".start\r\nmid\r\n.\r\n..two\r\nend."), "..start\r\nmid\r\n..\r\n...two\r\nend.");
    EXPECT_EQ(dotStuffed("no dots"), "no dots");
    EXPECT_EQ(dotStuffed(""), "");
}
