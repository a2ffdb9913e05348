#include "desktop_open.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace platform {

namespace {

class XdgOpener : public DesktopOpener {
public:
    bool open(const QString& path) override { return QDesktopServices::openUrl(QUrl::fromLocalFile(path)); }

    // xdg-open starts whatever the desktop has and says by its exit status
    // when there is nothing; Qt's own opener only knows that it started.
    void openOrReport(const QString& path, const std::function<void(const QString&)>& failed) override
    {
        const QString xdgOpen = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
        if (xdgOpen.isEmpty() || !QCoreApplication::instance()) {
            DesktopOpener::openOrReport(path, failed);
            return;
        }
        auto* process = new QProcess(QCoreApplication::instance());
        process->setProcessChannelMode(QProcess::SeparateChannels);
        process->setStandardOutputFile(QProcess::nullDevice());
        QObject::connect(process, &QProcess::errorOccurred, process, [process, failed](QProcess::ProcessError error) {
            if (error == QProcess::FailedToStart) {
                failed(process->errorString());
                process->deleteLater();
            }
        });
        QObject::connect(process, &QProcess::finished, process, [process, failed](int exitCode, QProcess::ExitStatus status) {
            if (status == QProcess::NormalExit && exitCode != 0) {
                const QList<QByteArray> lines = process->readAllStandardError().trimmed().split('\n');
                failed(QString::fromLocal8Bit(lines.last()).trimmed());
            }
            process->deleteLater();
        });
        process->start(xdgOpen, {path});
    }
};

DesktopOpener* g_opener = nullptr;

}  // namespace

DesktopOpener& desktopOpener()
{
    static XdgOpener desktop;
    return g_opener ? *g_opener : desktop;
}

DesktopOpener* setDesktopOpener(DesktopOpener* opener)
{
    DesktopOpener* previous = g_opener;
    g_opener = opener;
    return previous;
}

}  // namespace platform
