// Reelix: plays one clip, named on the command line or in the file beside the
// program.

#include "reelix/core/clip_path_file.h"
#include "reelix/core/clip_player.h"
#include "reelix/ui/CVlcDialogDlg.h"

#include "platform/command_line.h"
#include "platform/known_folders.h"
#include "platform/language_choice.h"
#include "platform/registry.h"
#include "platform/standard_texts.h"
#include "platform/termination_signals.h"
#include "reelix/core/reelix_texts.h"
#include "reelix/core/vellumet_language.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>

#include <cstdio>
#include <memory>

int main(int argc, char* argv[])
{
    // --help and --version need no display.
    const std::unique_ptr<QCoreApplication> app = platform::asksForHelpOrVersion(argc, argv)
        ? std::make_unique<QCoreApplication>(argc, argv)
        : std::make_unique<QApplication>(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Reelix"));
    QApplication::setApplicationVersion(QStringLiteral(VELLUMET_VERSION));
    QApplication::setOrganizationName(QStringLiteral("Vellumet"));
    QApplication::setDesktopFileName(QStringLiteral("reelix"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Plays a clip recorded with Vellumet."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(
        QStringLiteral("clip"),
        QStringLiteral("The clip to play; without it, the one named in folderpath.txt (beside the program, or in "
                       "~/.config/Vellumet when installed)."),
        QStringLiteral("[CLIP]"));
    if (const auto status = platform::handleCommandLine(parser, QCoreApplication::arguments()))
        return *status;

    // The language Vellumet runs in, for the window's texts and Qt's own.
    platform::Registry registry(platform::Registry::defaultFilePath());
    const platform::LanguageIds language = reelix::vellumetLanguageIds(registry, QLocale::system());
    reelix::setLanguageFile(platform::chooseLanguageFile(platform::shippedFilesFolder(), language.mainId, language.subId));
    const auto qtTexts = platform::installStandardTexts(language.mainId, language.subId);

    platform::TerminationSignals signals;
    reelix::CVlcDialogDlg window;
    if (!window.player().isAvailable())
        std::fprintf(stderr, "reelix: the video library could not start; no clip can be played\n");

    // A logout or Ctrl+C closes the window like its close button. Hooked
    // before the video library starts, which takes a while: a signal that
    // comes meanwhile waits for the window's event loop instead of killing
    // the program.
    QObject::connect(&signals, &platform::TerminationSignals::terminationRequested, &window, &QDialog::reject);

    const QStringList clips = parser.positionalArguments();
    const QString clip = !clips.isEmpty()
        ? clips.first()
        : reelix::readClipPathFile(platform::programDataFolder() + QLatin1Char('/') + QLatin1String(reelix::kClipPathFileName));
    if (!clip.isEmpty()) {
        std::fprintf(stderr, "reelix: playing %s\n", QDir::toNativeSeparators(clip).toLocal8Bit().constData());
        window.openClip(clip);
    } else {
        std::fprintf(stderr, "reelix: no clip named; one can be opened in the window\n");
    }
    // In front of the window it was started from, which still has the keyboard.
    window.showInFront();
    window.exec();
    return 0;
}
