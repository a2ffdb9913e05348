// Renders Postlet's dialogs to PNG files, so they can be looked at without
// a mail server: postlet_gallery <folder> (run with QT_QPA_PLATFORM=offscreen)
#include "postlet/ui/CAccountDlg.h"
#include "postlet/ui/CMailDlg.h"
#include "postlet/ui/CPostletAboutDlg.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>

#include <cstdio>

namespace {

void save(QWidget& w, const QString& folder, const char* name)
{
    w.show();
    QApplication::processEvents();
    const QString path = folder + QLatin1Char('/') + QLatin1String(name) + QLatin1String(".png");
    w.grab().save(path);
    std::printf("%s\n", qPrintable(path));
    w.hide();
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: postlet_gallery <folder>\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);

    postlet::CMailDlg::Setup setup;
    setup.account = {QStringLiteral("smtp.example.org:587"), QStringLiteral("lab@example.org"), QStringLiteral("lab"),
                     QStringLiteral("secret")};
    setup.attachmentPath = QStringLiteral("/home/lab/Documents/Vellumet/Sample 7/Picture/20240305140709.jpg");
    postlet::CMailDlg mail(setup);
    mail.findChild<QLineEdit*>(QStringLiteral("1004"))->setText(QStringLiteral("colleague@example.org"));
    mail.findChild<QLineEdit*>(QStringLiteral("1006"))->setText(QStringLiteral("Sample 7, 200x"));
    mail.findChild<QPlainTextEdit*>(QStringLiteral("1008"))
        ->setPlainText(QStringLiteral("Hello,\n\nhere is the picture of sample 7 with the grain boundaries.\n\nRegards"));
    save(mail, folder, "postlet_mail");

    // The same dialog while a picture is on its way.
    mail.findChild<QLabel*>(QStringLiteral("status"))->setText(QStringLiteral("Sending the mail..."));
    mail.findChild<QLabel*>(QStringLiteral("encryption"))->setText(QStringLiteral("Encrypted connection"));
    auto* progress = mail.findChild<QProgressBar*>(QStringLiteral("progress"));
    mail.show();
    progress->setVisible(true);
    progress->setRange(0, 1000);
    progress->setValue(420);
    save(mail, folder, "postlet_mail_sending");

    postlet::CAccountDlg account(setup.account);
    save(account, folder, "postlet_account");
    postlet::CPostletAboutDlg about;
    save(about, folder, "postlet_about");
    return 0;
}
