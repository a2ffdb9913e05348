// Postlet: mails one picture through the user's SMTP account.
//   postlet [FILE]   FILE is attached; without it the picture named in
//                    MailPicPath.ini is.
#include "postlet/core/mail_account.h"
#include "postlet/core/postlet_files.h"
#include "postlet/core/postlet_language.h"
#include "postlet/ui/CMailDlg.h"
#include "postlet/ui/CPostletAboutDlg.h"
#include "postlet/ui/PostletMessages.h"

#include "base/text_lookup.h"
#include "platform/command_line.h"
#include "platform/file_lock.h"
#include "platform/known_folders.h"
#include "platform/language_choice.h"
#include "platform/registry.h"
#include "platform/standard_texts.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>

#include <memory>

int main(int argc, char** argv)
{
    // --help and --version need no display.
    const std::unique_ptr<QCoreApplication> app = platform::asksForHelpOrVersion(argc, argv)
        ? std::make_unique<QCoreApplication>(argc, argv)
        : std::make_unique<QApplication>(argc, argv);
    QCoreApplication::setApplicationName(postlet::kProgramTitle);
    // The suite's version; the About box keeps Postlet's own.
    QCoreApplication::setApplicationVersion(QStringLiteral(VELLUMET_VERSION));

    QCommandLineParser options;
    options.setApplicationDescription(QStringLiteral("Mails a picture through your SMTP account."));
    options.addHelpOption();
    options.addVersionOption();
    options.addPositionalArgument(QStringLiteral("FILE"),
                                  QStringLiteral("The picture to attach; without it, the one named in MailPicPath.ini."),
                                  QStringLiteral("[FILE]"));
    if (const auto status = platform::handleCommandLine(options, QCoreApplication::arguments()))
        return *status;
    QApplication::setDesktopFileName(QStringLiteral("postlet"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/postlet.svg")));

    // One instance at a time; a second start ends silently.
    platform::FileLock instance(postlet::instanceLockPath(), platform::FileLock::Mode::TryOnce);
    if (!instance.isLocked())
        return 0;

    postlet::PostletMessageBoxes boxes;
    platform::setMessageDialogs(&boxes);
    platform::Registry registry(platform::Registry::defaultFilePath());
    const platform::LanguageIds language = postlet::postletLanguageIds(registry);
    base::setLanguageFile(platform::chooseLanguageFile(platform::shippedFilesFolder(), language.mainId, language.subId));
    const auto qtTexts = platform::installStandardTexts(language.mainId, language.subId);

    postlet::CMailDlg::Setup setup;
    setup.accountPath = postlet::mailSettingsPath();
    setup.account = postlet::readMailSettings(setup.accountPath);
    const QStringList files = options.positionalArguments();
    setup.attachmentPath = files.isEmpty() ? postlet::readMailPicPath(postlet::mailPicPathFolders())
                                           : QFileInfo(files.first()).absoluteFilePath();
    postlet::CMailDlg dlg(setup);
    dlg.exec();
    platform::setMessageDialogs(nullptr);
    return 0;
}
