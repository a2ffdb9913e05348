#pragma once

#include <QString>
#include <QStringList>

namespace platform {
class Registry;
}

namespace shell {

// The pictures opened last, newest first, at most four; kept in the
// registry's "Recent File List" key as File1 to File4.
inline const QString kRecentFilesKey = QStringLiteral("Software\\Vellumet\\Vellumet\\Recent File List");
constexpr int kRecentFileCount = 4;
// The File menu's recent-file commands: the first, then one after another.
constexpr int kRecentFileFirstCommand = 57616;

QStringList readRecentFiles(platform::Registry& registry);
// `path` at the front, once, the list cut to four; written at once.
QStringList rememberRecentFile(platform::Registry& registry, const QString& path);
// A file that could not be opened leaves the list.
QStringList forgetRecentFile(platform::Registry& registry, const QString& path);

}  // namespace shell
