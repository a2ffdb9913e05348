// The mail and account dialogs as a user meets them, sending to a scripted
// server on loopback.
#include "postlet/core/mail_account.h"
#include "postlet/ui/CAccountDlg.h"
#include "postlet/ui/CMailDlg.h"
#include "postlet/ui/PostletMessages.h"

#include "base/text_lookup.h"

#include "sandbox.h"
#include "scripted_dialogs.h"
#include "scripted_smtp_server.h"
#include "wait_for.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

using namespace postlet;
using testing_support::ScriptedSmtpServer;

namespace {

CMailDlg::Setup setupFor(const testing_support::Sandbox& box, const QString& server)
{
    CMailDlg::Setup s;
    s.account = {server, QStringLiteral("me@example.org"), QStringLiteral("me"), QStringLiteral("pw")};
    s.accountPath = box.path() + QLatin1String("/mailset.dat");
    s.attachmentPath = box.path() + QLatin1String("/none.jpg");
    s.sendOptions.limits = {3000, 1500, 3000};
    return s;
}

template <typename T>
T* child(QWidget& w, const char* name)
{
    return w.findChild<T*>(QLatin1String(name));
}

void fill(CMailDlg& dlg)
{
    child<QLineEdit>(dlg, "1004")->setText(QStringLiteral("to@example.org"));
    child<QLineEdit>(dlg, "1006")->setText(QStringLiteral("Probe 7"));
    child<QPlainTextEdit>(dlg, "1008")->setPlainText(QStringLiteral("see the picture"));
}

// Runs `answer` on the next modal dialog that opens.
void onNextModal(std::function<void(QWidget*)> answer)
{
    auto* timer = new QTimer;
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, [timer, answer] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            timer->stop();
            timer->deleteLater();
            answer(modal);
        }
    });
    timer->start();
}

}  // namespace

class PostletDialogsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { base::setLanguageFile(QString()); }

    void textsComeFromTheLanguageFile()
    {
        testing_support::Sandbox box;
        const QString lang = box.path() + QLatin1String("/German1252.ini");
        testing_support::writeFile(lang, "[TiScopara]\nSendEmail=E-Mail senden\nRecipients=Empf\xc3\xa4nger\nSetting=Konto\n");
        base::setLanguageFile(lang);
        CMailDlg dlg(setupFor(box, QStringLiteral("127.0.0.1:1")));
        QCOMPARE(dlg.windowTitle(), QStringLiteral("E-Mail senden"));
        QCOMPARE(child<QLabel>(dlg, "1000")->text(), QStringLiteral("Empfänger"));
        QCOMPARE(child<QLabel>(dlg, "1001")->text(), QStringLiteral("Mail CC"));  // English default
        QCOMPARE(child<QPushButton>(dlg, "3")->text(), QStringLiteral("Konto"));
        QCOMPARE(child<QLineEdit>(dlg, "1007")->text(), box.path() + QLatin1String("/none.jpg"));
    }

    void emptyRecipientIsRefusedBeforeAnyConnection()
    {
        testing_support::Sandbox box;
        testing_support::ScriptedDialogs messages;
        ScriptedSmtpServer server;
        CMailDlg dlg(setupFor(box, server.address()));
        dlg.show();
        QTest::mouseClick(child<QPushButton>(dlg, "1"), Qt::LeftButton);
        QCOMPARE(messages.messages, QStringList{"The recipient is invalid"});
        QCOMPARE(messages.captions, QStringList{"Postlet"});
        QVERIFY(!dlg.isSending());
        QVERIFY(!server.hasClient());
    }

    void failedLoginKeepsEverythingTyped()
    {
        testing_support::Sandbox box;
        testing_support::ScriptedDialogs messages;
        ScriptedSmtpServer server;
        server.say("220 ready\r\n").hear().say("250 AUTH LOGIN\r\n").hear().say("535 5.7.8 no\r\n").hear().say("221 bye\r\n");
        CMailDlg dlg(setupFor(box, server.address()));
        dlg.show();
        fill(dlg);
        child<QLineEdit>(dlg, "1005")->setText(QStringLiteral("boss@example.org"));
        QTest::mouseClick(child<QPushButton>(dlg, "1"), Qt::LeftButton);
        QVERIFY(dlg.isSending());
        QVERIFY(child<QLineEdit>(dlg, "1004")->isReadOnly());
        QVERIFY(!child<QPushButton>(dlg, "1")->isEnabled());
        QVERIFY(testing_support::waitFor([&] { return !dlg.isSending(); }, 20000));

        // The server's own words follow, for whoever looks into it.
        QCOMPARE(messages.messages, QStringList{"Mail server authentication failed\n\n535 5.7.8 no"});
        QVERIFY(dlg.isVisible());
        QCOMPARE(child<QLineEdit>(dlg, "1004")->text(), QStringLiteral("to@example.org"));
        QCOMPARE(child<QLineEdit>(dlg, "1005")->text(), QStringLiteral("boss@example.org"));
        QCOMPARE(child<QLineEdit>(dlg, "1006")->text(), QStringLiteral("Probe 7"));
        QCOMPARE(child<QPlainTextEdit>(dlg, "1008")->toPlainText(), QStringLiteral("see the picture"));
        QVERIFY(!child<QLineEdit>(dlg, "1004")->isReadOnly());
        QVERIFY(child<QPushButton>(dlg, "1")->isEnabled());
    }

    void mailThatWentOutClosesTheDialog()
    {
        testing_support::Sandbox box;
        testing_support::ScriptedDialogs messages;
        ScriptedSmtpServer server;
        server.upToLogin().upToData().hear().say("354 go\r\n").hearData().say("250 ok\r\n").hear().say("221 bye\r\n");
        CMailDlg dlg(setupFor(box, server.address()));
        dlg.show();
        fill(dlg);
        QTest::mouseClick(child<QPushButton>(dlg, "1"), Qt::LeftButton);
        QVERIFY(testing_support::waitFor([&] { return !dlg.isSending(); }, 20000));
        QCOMPARE(messages.messages, QStringList{"send successfully"});
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QVERIFY(!dlg.isVisible());
        QVERIFY(server.data().contains("see the picture"));
    }

    void aFailureIsAWarningThatNamesTheServersReply()
    {
        testing_support::Sandbox box;
        PostletMessageBoxes boxes;
        platform::MessageDialogs* previous = platform::setMessageDialogs(&boxes);
        ScriptedSmtpServer server;
        server.upToLogin().upToData().hear().say("354 go\r\n").hearData().say("552 5.3.4 Message too big\r\n");
        server.hear().say("221 bye\r\n");
        CMailDlg dlg(setupFor(box, server.address()));
        dlg.show();
        fill(dlg);
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QString text;
        onNextModal([&](QWidget* w) {
            if (auto* message = qobject_cast<QMessageBox*>(w)) {
                icon = message->icon();
                text = message->text();
            }
            QMetaObject::invokeMethod(w, "accept", Qt::QueuedConnection);
        });
        QTest::mouseClick(child<QPushButton>(dlg, "1"), Qt::LeftButton);
        QVERIFY(testing_support::waitFor([&] { return !dlg.isSending() && !text.isEmpty(); }, 20000));
        platform::setMessageDialogs(previous);
        QCOMPARE(icon, QMessageBox::Warning);
        QCOMPARE(text, QStringLiteral("Send failed\n\n552 5.3.4 Message too big"));
        QVERIFY(dlg.isVisible());
    }

    void aPictureOverTheLimitIsToldOfBeforeAnythingIsSent()
    {
        testing_support::Sandbox box;
        testing_support::ScriptedDialogs messages;
        messages.answers = {false, true};
        ScriptedSmtpServer server;
        server.upToLogin().upToData().hear().say("354 go\r\n").hearData().say("250 ok\r\n").hear().say("221 bye\r\n");
        auto setup = setupFor(box, server.address());
        setup.attachmentPath = box.path() + QLatin1String("/big.bmp");
        QFile big(setup.attachmentPath);
        QVERIFY(big.open(QIODevice::WriteOnly) && big.resize(kMaxAttachmentBytes + 1));
        big.close();
        CMailDlg dlg(setup);
        dlg.show();
        fill(dlg);
        const QString asked = QStringLiteral(
            "The picture is larger than 10 MB and will be left out of the mail. Send the mail without it?");

        // Cancel: nothing goes out, everything stays.
        QTest::mouseClick(child<QPushButton>(dlg, "1"), Qt::LeftButton);
        QCOMPARE(messages.messages, QStringList{asked});
        QVERIFY(!dlg.isSending());
        QVERIFY(dlg.isVisible());
        QTest::qWait(100);
        QVERIFY(!server.hasClient());

        // OK: the mail goes as text alone.
        QTest::mouseClick(child<QPushButton>(dlg, "1"), Qt::LeftButton);
        QVERIFY(testing_support::waitFor([&] { return !dlg.isSending(); }, 20000));
        QCOMPARE(messages.messages, (QStringList{asked, asked, "send successfully"}));
        QVERIFY(server.data().contains("see the picture"));
        QVERIFY(!server.data().contains("BOUNDARY"));
    }

    void cancelStopsTheSendAndKeepsTheDialog()
    {
        testing_support::Sandbox box;
        testing_support::ScriptedDialogs messages;
        ScriptedSmtpServer server;  // never greets
        auto setup = setupFor(box, server.address());
        setup.sendOptions.limits = {};  // the full limits: only Cancel ends the wait early
        CMailDlg dlg(setup);
        dlg.show();
        fill(dlg);
        QTest::mouseClick(child<QPushButton>(dlg, "1"), Qt::LeftButton);
        QVERIFY(testing_support::waitFor([&] { return server.hasClient(); }));
        QVERIFY(child<QProgressBar>(dlg, "progress")->isVisible());
        QCOMPARE(child<QLabel>(dlg, "status")->text(), QStringLiteral("Connecting to the mail server..."));

        QTest::mouseClick(child<QPushButton>(dlg, "2"), Qt::LeftButton);
        QVERIFY(testing_support::waitFor([&] { return !dlg.isSending(); }, 5000));
        QVERIFY(messages.messages.isEmpty());
        QVERIFY(dlg.isVisible());
        QCOMPARE(child<QLineEdit>(dlg, "1004")->text(), QStringLiteral("to@example.org"));
        QVERIFY(!child<QProgressBar>(dlg, "progress")->isVisible());

        QTest::mouseClick(child<QPushButton>(dlg, "2"), Qt::LeftButton);  // now Cancel closes
        QVERIFY(!dlg.isVisible());
    }

    void incompleteAccountAsksForItFirstAndSavesIt()
    {
        testing_support::Sandbox box;
        testing_support::ScriptedDialogs messages;
        ScriptedSmtpServer server;
        server.upToLogin().upToData().hear().say("354 go\r\n").hearData().say("250 ok\r\n").hear().say("221 bye\r\n");
        auto setup = setupFor(box, server.address());
        setup.account = {};
        CMailDlg dlg(setup);
        dlg.show();
        fill(dlg);

        // Cancelled: nothing sent, nothing said.
        onNextModal([](QWidget* w) { QMetaObject::invokeMethod(w, "reject", Qt::QueuedConnection); });
        QTest::mouseClick(child<QPushButton>(dlg, "1"), Qt::LeftButton);
        QVERIFY(messages.messages.isEmpty());
        QVERIFY(!dlg.isSending());
        QVERIFY(!QFile::exists(setup.accountPath));

        // Filled in: saved, then sent.
        onNextModal([&](QWidget* w) {
            child<QLineEdit>(*w, "1014")->setText(server.address());
            child<QLineEdit>(*w, "1015")->setText(QStringLiteral("me@example.org"));
            child<QLineEdit>(*w, "1016")->setText(QStringLiteral("me"));
            child<QLineEdit>(*w, "1017")->setText(QStringLiteral("pw"));
            QMetaObject::invokeMethod(w, "accept", Qt::QueuedConnection);
        });
        QTest::mouseClick(child<QPushButton>(dlg, "1"), Qt::LeftButton);
        QVERIFY(testing_support::waitFor([&] { return !dlg.isSending(); }, 20000));
        QCOMPARE(messages.messages, QStringList{"send successfully"});
        QCOMPARE(readMailSettings(setup.accountPath), dlg.account());
        QCOMPARE(dlg.account().server, server.address());
        QCOMPARE(QFile::permissions(setup.accountPath) & (QFile::ReadGroup | QFile::ReadOther), QFile::Permissions());
    }

    void accountDialogChecksItsValues()
    {
        testing_support::ScriptedDialogs messages;
        const MailAccount good{QStringLiteral("smtp.example.org:587"), QStringLiteral("me@example.org"), QStringLiteral("me"),
                               QStringLiteral("pw")};
        CAccountDlg dlg(good);
        dlg.show();
        QCOMPARE(dlg.windowTitle(), QStringLiteral("Email account settings"));
        QCOMPARE(child<QLineEdit>(dlg, "1017")->echoMode(), QLineEdit::Password);

        child<QLineEdit>(dlg, "1016")->clear();
        dlg.accept();
        QCOMPARE(messages.messages, QStringList{"The parameter settings is invalid"});
        QVERIFY(dlg.isVisible());

        child<QLineEdit>(dlg, "1016")->setText(QStringLiteral("me"));
        child<QLineEdit>(dlg, "1014")->setText(QStringLiteral("smtp.example.org:99999"));
        dlg.accept();
        QCOMPARE(messages.messages.size(), 2);
        QVERIFY(dlg.isVisible());

        child<QLineEdit>(dlg, "1014")->setText(QStringLiteral("smtp.example.org:587"));
        dlg.accept();
        QCOMPARE(messages.messages.size(), 2);
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QCOMPARE(dlg.account(), good);
    }
};

QTEST_MAIN(PostletDialogsTest)
#include "postlet_dialogs_test.moc"
