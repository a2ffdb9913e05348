// The account file, the server field and the checks before a mail goes out.
#include "postlet/core/mail_account.h"
#include "postlet/core/mail_request.h"
#include "postlet/core/postlet_files.h"
#include "postlet/core/postlet_language.h"
#include "postlet/core/server_address.h"

#include "base/registry_settings.h"

#include "sandbox.h"

#include <QFile>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace postlet;

namespace {

mode_t modeOf(const QString& path)
{
    struct stat st {};
    ::stat(QFile::encodeName(path).constData(), &st);
    return st.st_mode & 0777;
}

const MailAccount kAccount{QStringLiteral("smtp.example.org:587"), QStringLiteral("bench@example.org"), QStringLiteral("bench"),
                           QStringLiteral("sécret")};

}  // namespace

TEST(MailSettingsFile, FourZeroPaddedRecordsOwnerOnly)
{
    testing_support::Sandbox box;
    const QString path = box.path() + QLatin1String("/mailset.dat");
    testing_support::writeFile(path, "old");
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadOther);
    ASSERT_TRUE(writeMailSettings(path, kAccount));

    const QByteArray bytes = testing_support::readFile(path);
    ASSERT_EQ(bytes.size(), 1024);
    EXPECT_EQ(bytes.left(20), QByteArray("smtp.example.org:587"));
    EXPECT_EQ(bytes.mid(20, 236), QByteArray(236, '\0'));
    EXPECT_EQ(bytes.mid(256, 17), QByteArray("bench@example.org"));
    EXPECT_EQ(bytes.mid(512, 6), QByteArray("bench\0", 6));
    EXPECT_EQ(bytes.mid(768, 8), QStringLiteral("sécret").toUtf8() + '\0');
    EXPECT_EQ(modeOf(path), 0600u);  // also when the old file was readable by others

    EXPECT_EQ(readMailSettings(path), kAccount);
}

TEST(MailSettingsFile, MissingOrShortFilesLeaveValuesEmpty)
{
    testing_support::Sandbox box;
    EXPECT_EQ(readMailSettings(box.path() + QLatin1String("/none.dat")), MailAccount{});
    const QString path = box.path() + QLatin1String("/short.dat");
    QByteArray bytes(256, '\0');
    bytes.replace(0, 4, "host");
    bytes += "box@x";  // the second record cut short, no zero byte
    testing_support::writeFile(path, bytes);
    const MailAccount a = readMailSettings(path);
    EXPECT_EQ(a.server, QStringLiteral("host"));
    EXPECT_EQ(a.mailbox, QStringLiteral("box@x"));
    EXPECT_TRUE(a.userName.isEmpty());
    EXPECT_TRUE(a.password.isEmpty());
}

TEST(MailSettingsFile, AValueTooLongForItsRecordIsNotWritten)
{
    testing_support::Sandbox box;
    const QString path = box.path() + QLatin1String("/mailset.dat");
    MailAccount a = kAccount;
    a.password = QString(128, QChar(0xE9));  // 256 bytes in UTF-8
    EXPECT_FALSE(writeMailSettings(path, a));
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_FALSE(isAccountUsable(a));
    a.password = QString(255, QLatin1Char('p'));
    EXPECT_TRUE(writeMailSettings(path, a));
    EXPECT_EQ(readMailSettings(path).password, a.password);
}

TEST(ServerAddress, PortDecidesTheProtection)
{
    auto a = parseServerAddress(QStringLiteral("smtp.example.org"));
    ASSERT_TRUE(a);
    EXPECT_EQ(a->host, QStringLiteral("smtp.example.org"));
    EXPECT_EQ(a->port, 25);
    EXPECT_EQ(a->tls, TlsMode::WhenOffered);
    a = parseServerAddress(QStringLiteral(" smtp.example.org:587 "));
    ASSERT_TRUE(a);
    EXPECT_EQ(a->port, 587);
    EXPECT_EQ(a->tls, TlsMode::StartTls);
    a = parseServerAddress(QStringLiteral("10.0.0.2:465"));
    ASSERT_TRUE(a);
    EXPECT_EQ(a->host, QStringLiteral("10.0.0.2"));
    EXPECT_EQ(a->tls, TlsMode::Implicit);
    a = parseServerAddress(QStringLiteral("[::1]:2525"));
    ASSERT_TRUE(a);
    EXPECT_EQ(a->host, QStringLiteral("::1"));
    EXPECT_EQ(a->port, 2525);
    a = parseServerAddress(QStringLiteral("fe80::1"));
    ASSERT_TRUE(a);
    EXPECT_EQ(a->host, QStringLiteral("fe80::1"));
    EXPECT_EQ(a->port, 25);
    for (const char* bad : {"", ":25", "host:", "host:0", "host:70000", "host:x", "[::1", "[::1]x", "a b"})
        EXPECT_FALSE(parseServerAddress(QString::fromLatin1(bad))) << bad;
}

TEST(MailRequest, LineBreaksAreRefusedWhereverTheyWouldReachTheServer)
{
    const MailRequest ok{QStringLiteral("to@example.org"), QString(), QStringLiteral("s"), QStringLiteral("b\nc"), {}};
    EXPECT_EQ(checkRequest(kAccount, ok), RequestCheck::Ok);

    MailRequest r = ok;
    r.to.clear();
    EXPECT_EQ(checkRequest(kAccount, r), RequestCheck::RecipientInvalid);
    for (QString MailRequest::*field : {&MailRequest::to, &MailRequest::cc, &MailRequest::subject}) {
        r = ok;
        r.*field = QStringLiteral("x@example.org\r\nRCPT TO:<other@example.org>");
        EXPECT_EQ(checkRequest(kAccount, r), RequestCheck::RecipientInvalid);
    }
    for (QString MailAccount::*field :
         {&MailAccount::server, &MailAccount::mailbox, &MailAccount::userName, &MailAccount::password}) {
        MailAccount a = kAccount;
        a.*field += QStringLiteral("\nAUTH");
        EXPECT_EQ(checkRequest(a, ok), RequestCheck::AccountInvalid);
    }
    MailAccount incomplete = kAccount;
    incomplete.userName.clear();
    EXPECT_EQ(checkRequest(incomplete, ok), RequestCheck::AccountIncomplete);
}

TEST(MailRequest, CopyGoesToTheRecipientWhenCcIsEmpty)
{
    MailRequest r{QStringLiteral("to@example.org"), QString(), QStringLiteral("s"), QStringLiteral("b"), {}};
    const MailMessage m = buildMailMessage(kAccount, r);
    EXPECT_EQ(m.from.name, QStringLiteral("bench"));
    EXPECT_EQ(m.from.address, QStringLiteral("bench@example.org"));
    ASSERT_EQ(m.cc.size(), 1);
    EXPECT_EQ(m.cc[0].address, QStringLiteral("to@example.org"));
    EXPECT_TRUE(m.attachments.isEmpty());
    EXPECT_EQ(envelopeOf(m).recipients, QStringList{"to@example.org"});  // asked for once
    r.cc = QStringLiteral("boss@example.org");
    EXPECT_EQ(envelopeOf(buildMailMessage(kAccount, r)).recipients, (QStringList{"to@example.org", "boss@example.org"}));
}

TEST(MailPicPath, FirstIniFoundNamesThePicture)
{
    testing_support::Sandbox box;
    const QString user = box.path() + QLatin1String("/user");
    const QString program = box.path() + QLatin1String("/program");
    EXPECT_TRUE(readMailPicPath({user, program}).isEmpty());
    testing_support::writeFile(program + QLatin1String("/MailPicPath.ini"), "[MailPicPath]\r\nstrPaths=/pics/a b.jpg\r\n");
    EXPECT_EQ(readMailPicPath({user, program}), QStringLiteral("/pics/a b.jpg"));
    testing_support::writeFile(user + QLatin1String("/MailPicPath.ini"), "[mailpicpath]\nSTRPATHS=/pics/c.bmp\n");
    EXPECT_EQ(readMailPicPath({user, program}), QStringLiteral("/pics/c.bmp"));
}

TEST(PostletLanguage, OwnValuesCreatedAndVellumetsChoiceFollowed)
{
    testing_support::Sandbox box;
    platform::Registry registry(box.registryFile());
    const QString folder = QStringLiteral("/prog");

    EXPECT_EQ(choosePostletLanguageFile(registry, folder), QStringLiteral("/prog/English1252.ini"));
    quint32 v = 99;
    EXPECT_EQ(registry.queryDword(kPostletConfigKey, QStringLiteral("languagemainid"), v), platform::RegStatus::Ok);
    EXPECT_EQ(v, 0u);
    EXPECT_EQ(registry.queryDword(kPostletConfigKey, QStringLiteral("languagesubid"), v), platform::RegStatus::Ok);

    // Vellumet set to traditional Chinese, Postlet's own values still 0.
    registry.setDword(base::kConfigKey, QStringLiteral("languagemainid"), 4);
    registry.setDword(base::kConfigKey, QStringLiteral("languagesubid"), 1);
    EXPECT_EQ(choosePostletLanguageFile(registry, folder), QStringLiteral("/prog/Chinese950.ini"));

    // Postlet's own choice wins.
    registry.setDword(kPostletConfigKey, QStringLiteral("languagemainid"), 12);
    EXPECT_EQ(choosePostletLanguageFile(registry, folder), QStringLiteral("/prog/French1252.ini"));
}

TEST(PostletFiles, AccountAndLockLiveInTheUsersFolders)
{
    testing_support::Sandbox box;
    EXPECT_EQ(mailSettingsPath(), box.config() + QLatin1String("/Vellumet/mailset.dat"));
    EXPECT_TRUE(instanceLockPath().startsWith(box.path()));
}
