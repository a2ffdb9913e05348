#pragma once

#include "files/core/save_path_list.h"

#include "base/app_settings.h"
#include "base/save_path_ini.h"
#include "platform/ini_document.h"
#include "platform/posted_message.h"

#include "sandbox.h"

#include <QComboBox>
#include <QDir>
#include <QWidget>

namespace testing_support {

// A sandboxed home whose save root holds the Default folder, as after a
// first start.
struct FolderSetup {
    Sandbox box;
    base::AppSettings settings;

    FolderSetup()
    {
        settings.paths.settingsHome = box.path() + QLatin1String("/home/.config/Vellumet");
        base::loadOrCreateSavePaths(settings.paths);
        base::ensureCurrentFolderTree(settings.paths);
        settings.savedFolderCount = 1;
    }
    base::AppPaths& paths() { return settings.paths; }
    QString folder(const QString& name) const { return settings.paths.foldersRoot + QLatin1Char('/') + name; }
    // A folder made by hand (or by another run) under the folders root.
    QString makeFolder(const QString& name) const
    {
        QDir().mkpath(folder(name) + QLatin1String("/Picture"));
        QDir().mkpath(folder(name) + QLatin1String("/Video"));
        return folder(name);
    }
    QStringList listed() const { return files::readSavePathList(files::readSavePathIni(settings.paths.savePathIni()), -1); }
    QString trash() const { return QString::fromLocal8Bit(qgetenv("XDG_DATA_HOME")) + QLatin1String("/Trash"); }
};

// Stands in for the thumbnail browser: keeps what it is told by 1137.
class BrowserStandIn : public QWidget {
public:
    QList<qintptr> requests;

protected:
    void customEvent(QEvent* e) override
    {
        auto* m = static_cast<platform::PostedMessage*>(e);
        if (m->number() == platform::msg::ReloadListing)
            requests.append(m->wParam());
    }
};

inline QStringList entries(const QComboBox* list)
{
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->itemText(i);
    return out;
}

}  // namespace testing_support
