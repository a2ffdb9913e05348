// The pieces a mail message is built from, checked against what the RFCs
// and the receiving side require.
#include "postlet/core/base64_lines.h"
#include "postlet/core/mail_header.h"
#include "postlet/core/mail_message.h"
#include "postlet/core/quoted_printable.h"

#include "sandbox.h"

#include <QDateTime>
#include <QTimeZone>

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

using namespace postlet;

namespace {

// Decodes quoted-printable the way a mail reader does.
QByteArray decodeQuotedPrintable(const QByteArray& qp)
{
    QByteArray out;
    for (qsizetype i = 0; i < qp.size(); ++i) {
        if (qp[i] == '=' && i + 2 < qp.size() && qp[i + 1] == '\r' && qp[i + 2] == '\n') {
            i += 2;
        } else if (qp[i] == '=' && i + 2 < qp.size()) {
            out.append(char(qp.mid(i + 1, 2).toInt(nullptr, 16)));
            i += 2;
        } else {
            out.append(qp[i]);
        }
    }
    return out;
}

// Sets TZ for its lifetime.
class ZoneScope {
public:
    explicit ZoneScope(const char* zone)
    {
        const char* old = std::getenv("TZ");
        m_had = old != nullptr;
        if (old)
            m_old = old;
        setenv("TZ", zone, 1);
        tzset();
    }
    ~ZoneScope()
    {
        if (m_had)
            setenv("TZ", m_old.c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }

private:
    bool m_had = false;
    std::string m_old;
};

}  // namespace

TEST(Base64Lines, BreaksEverySeventySixCharactersAndEndsWithALineBreak)
{
    QByteArray bytes;
    for (int i = 0; i < 1000; ++i)
        bytes.append(char(i * 37));
    const QByteArray text = encodeBase64Lines(bytes);
    const QList<QByteArray> lines = text.split('\n');
    ASSERT_TRUE(text.endsWith("\r\n"));
    for (qsizetype i = 0; i + 2 < lines.size(); ++i)
        EXPECT_EQ(lines[i].size(), 77) << i;  // 76 and the "\r"
    EXPECT_EQ(QByteArray::fromBase64(QByteArray(text).replace("\r\n", "")), bytes);
    EXPECT_EQ(QByteArray(text).replace("\r\n", ""), bytes.toBase64());
}

TEST(Base64Lines, ExactLinesAndShortInputs)
{
    EXPECT_EQ(encodeBase64Lines(QByteArray(57, 'a')), QByteArray(57, 'a').toBase64() + "\r\n");
    EXPECT_EQ(encodeBase64Lines(QByteArray(114, 'b')).count("\r\n"), 2);
    EXPECT_EQ(encodeBase64Lines(""), "\r\n");
    EXPECT_EQ(encodeBase64Lines("M"), "TQ==\r\n");
    EXPECT_EQ(encodeBase64Lines("Ma"), "TWE=\r\n");
    EXPECT_EQ(encodeBase64("Man"), "TWFu");
}

TEST(Base64Lenient, SkipsControlCharactersAndStopsAtPadding)
{
    EXPECT_EQ(decodeBase64Lenient("VXNl\r\ncm5hbWU6"), "Username:");
    EXPECT_EQ(decodeBase64Lenient("UGFzc3dvcmQ6"), "Password:");
    EXPECT_EQ(decodeBase64Lenient("TQ==garbage"), "M");
}

TEST(QuotedPrintable, RoundTripsUtf8AndKeepsLinesShort)
{
    const QByteArray text = QStringLiteral(
                                "Grüße aus dem Labor = 100 µm\nzweite Zeile \n\n"
                                "eine sehr lange Zeile, die weit über sechsundsiebzig Zeichen hinausgeht "
                                "und daher weich umbrochen werden muss, ohne ein =XX zu zerreißen")
                                .toUtf8();
    const QByteArray qp = encodeQuotedPrintable(text);
    for (const QByteArray& line : qp.split('\n')) {
        EXPECT_LE(QByteArray(line).replace("\r", "").size(), 76) << line.constData();
        for (const char c : line)
            EXPECT_LT(static_cast<unsigned char>(c), 0x80);
    }
    EXPECT_TRUE(qp.contains("zweite Zeile=20\r\n"));  // a blank before the line end is kept
    EXPECT_EQ(decodeQuotedPrintable(qp), QByteArray(text).replace("\n", "\r\n"));
}

TEST(QuotedPrintable, NoLineCanPassForABoundary)
{
    QByteArray text = "--#BOUNDARY#--\n";
    text += QByteArray(75, 'x') + "--#BOUNDARY#";  // the soft break falls just before the dashes
    const QByteArray qp = encodeQuotedPrintable(text);
    for (const QByteArray& line : qp.split('\n'))
        EXPECT_FALSE(line.startsWith("--")) << line.constData();
    EXPECT_EQ(decodeQuotedPrintable(qp), QByteArray(text).replace("\n", "\r\n"));
}

TEST(DateHeader, CarriesTheLocalZoneOffset)
{
    {
        ZoneScope zone("Asia/Kolkata");
        const QDateTime t(QDate(2024, 3, 5), QTime(14, 7, 9), Qt::LocalTime);
        EXPECT_EQ(dateHeaderValue(t), "Tue, 05 Mar 2024 14:07:09 +0530");
    }
    {
        ZoneScope zone("America/New_York");
        const QDateTime winter(QDate(2024, 1, 15), QTime(9, 30, 0), Qt::LocalTime);
        EXPECT_EQ(dateHeaderValue(winter), "Mon, 15 Jan 2024 09:30:00 -0500");
        const QDateTime summer(QDate(2024, 7, 15), QTime(9, 30, 0), Qt::LocalTime);
        EXPECT_EQ(dateHeaderValue(summer), "Mon, 15 Jul 2024 09:30:00 -0400");
    }
    {
        ZoneScope zone("America/St_Johns");  // a half-hour zone west of Greenwich
        const QDateTime t(QDate(2024, 1, 15), QTime(9, 30, 0), Qt::LocalTime);
        EXPECT_EQ(dateHeaderValue(t), "Mon, 15 Jan 2024 09:30:00 -0330");
    }
}

TEST(HeaderText, AsciiStaysAndOtherTextBecomesUtf8Words)
{
    EXPECT_EQ(headerText(QStringLiteral("Sample 12")), "Sample 12");
    EXPECT_EQ(headerText(QStringLiteral("Probe Nr. 5 – Ätzung")),
              "=?UTF-8?B?" + QStringLiteral("Probe Nr. 5 – Ätzung").toUtf8().toBase64() + "?=");
}

TEST(HeaderText, LongTextFoldsIntoWordsWithoutSplittingCharacters)
{
    const QString subject = QString(120, QChar(0x56FE));  // 3 bytes each in UTF-8
    const QByteArray h = headerText(subject);
    QByteArray decoded;
    for (const QByteArray& line : h.split('\n')) {
        const QByteArray word = line.trimmed();
        ASSERT_TRUE(word.startsWith("=?UTF-8?B?") && word.endsWith("?=")) << word.constData();
        EXPECT_LE(word.size(), 75);
        const QByteArray piece = QByteArray::fromBase64(word.mid(10, word.size() - 12));
        EXPECT_EQ(QString::fromUtf8(piece).toUtf8(), piece);  // whole characters only
        decoded += piece;
    }
    EXPECT_EQ(QString::fromUtf8(decoded), subject);
}

TEST(Addresses, QuotedAsciiNamesEncodedOtherNamesBareAddresses)
{
    EXPECT_EQ(formatAddress({QStringLiteral("lab \"B\""), QStringLiteral("lab@example.org")}),
              "\"lab \\\"B\\\"\" <lab@example.org>");
    EXPECT_EQ(formatAddress({QStringLiteral("Müller"), QStringLiteral("m@example.org")}),
              "=?UTF-8?B?" + QStringLiteral("Müller").toUtf8().toBase64() + "?= <m@example.org>");
    EXPECT_EQ(formatAddressList({{QString(), QStringLiteral("a@x")}, {QString(), QStringLiteral("b@x")}}), "a@x,b@x");
}

TEST(ComposeMessage, PlainTextWithoutAttachment)
{
    MailMessage m;
    m.from = {QStringLiteral("bench"), QStringLiteral("bench@example.org")};
    m.to = {{QString(), QStringLiteral("to@example.org")}};
    m.subject = QStringLiteral("Hi");
    m.body = QStringLiteral("one\ntwo");
    const QByteArray msg = composeMessage(m, QDateTime(QDate(2024, 1, 2), QTime(3, 4, 5), QTimeZone::utc()));
    EXPECT_EQ(msg,
              "From: \"bench\" <bench@example.org>\r\nTo: to@example.org\r\nSubject: Hi\r\n"
              "Date: Tue, 02 Jan 2024 03:04:05 +0000\r\nX-Mailer: SMTP Sender V1.0\r\nMIME-Version: 1.0\r\n"
              "Content-type: text/plain; charset=UTF-8\r\nContent-Transfer-Encoding: quoted-printable\r\n\r\n"
              "one\r\ntwo");
}

TEST(ComposeMessage, MultipartWithTheAttachmentInBase64)
{
    MailMessage m;
    m.from = {QStringLiteral("bench"), QStringLiteral("bench@example.org")};
    m.to = {{QString(), QStringLiteral("to@example.org")}};
    m.cc = {{QString(), QStringLiteral("cc@example.org")}};
    m.body = QStringLiteral("see picture");
    m.attachments = {{QStringLiteral("a.jpg"), QStringLiteral("a.jpg"), encodeBase64Lines("JPEG")}};
    const QByteArray msg = composeMessage(m, QDateTime(QDate(2024, 1, 2), QTime(3, 4, 5), QTimeZone::utc()));
    EXPECT_TRUE(msg.contains("Cc: cc@example.org\r\n"));
    EXPECT_TRUE(
        msg.contains("Content-type: multipart/mixed; boundary=\"#BOUNDARY#\"\r\n\r\n"
                     "\r\n--#BOUNDARY#\r\nContent-Type: text/plain; charset=UTF-8\r\n"
                     "Content-Transfer-Encoding: quoted-printable\r\n\r\nsee picture"
                     "\r\n--#BOUNDARY#\r\nContent-Type: application/octet-stream; name=\"a.jpg\"\r\n"
                     "Content-Transfer-Encoding: base64\r\nContent-Disposition: attachment; filename=\"a.jpg\""
                     "\r\n\r\nSlBFRw==\r\n\r\n--#BOUNDARY#--"));
    EXPECT_TRUE(msg.endsWith("--#BOUNDARY#--"));
}

TEST(LoadAttachment, TakesUpToTenMebibytesAndRefusesMore)
{
    testing_support::Sandbox box;
    const QString exact = box.path() + QLatin1String("/exact.bmp");
    const QString over = box.path() + QLatin1String("/over.bmp");
    testing_support::writeFile(exact, QByteArray(kMaxAttachmentBytes, 'x'));
    testing_support::writeFile(over, QByteArray(kMaxAttachmentBytes + 1, 'x'));

    const auto a = loadAttachment(exact);
    ASSERT_TRUE(a.has_value());
    EXPECT_EQ(a->title, QStringLiteral("exact.bmp"));
    EXPECT_EQ(a->fileName, QStringLiteral("exact.bmp"));
    EXPECT_EQ(a->base64.size(), (kMaxAttachmentBytes + 2) / 3 * 4 / 76 * 78 + 2 + (kMaxAttachmentBytes + 2) / 3 * 4 % 76);
    EXPECT_FALSE(loadAttachment(over).has_value());
    EXPECT_FALSE(loadAttachment(box.path() + QLatin1String("/missing.bmp")).has_value());
    EXPECT_FALSE(loadAttachment(QString()).has_value());
    EXPECT_FALSE(loadAttachment(box.path()).has_value());  // a folder

    // Only a picture that is there and too large is left out: the user is asked first.
    EXPECT_FALSE(isAttachmentTooLarge(exact));
    EXPECT_TRUE(isAttachmentTooLarge(over));
    EXPECT_FALSE(isAttachmentTooLarge(box.path() + QLatin1String("/missing.bmp")));
    EXPECT_FALSE(isAttachmentTooLarge(QString()));
}
