#include "recent_files.h"

#include "platform/registry.h"

namespace shell {

namespace {

QString valueName(int i)
{
    return QStringLiteral("File%1").arg(i + 1);
}

QStringList store(platform::Registry& registry, QStringList files)
{
    while (files.size() > kRecentFileCount)
        files.removeLast();
    // Every value in one change, so the list is never seen half written.
    registry.update([&files](platform::RegistryTree& t) {
        for (int i = 0; i < kRecentFileCount; ++i) {
            if (i < files.size())
                t.setValue(kRecentFilesKey, platform::RegValue::ofString(valueName(i), files[i]));
            else
                t.deleteValue(kRecentFilesKey, valueName(i));
        }
    });
    return files;
}

}  // namespace

QStringList readRecentFiles(platform::Registry& registry)
{
    const platform::RegistryTree tree = registry.snapshot();
    QStringList files;
    for (int i = 0; i < kRecentFileCount; ++i) {
        QString path;
        if (tree.queryString(kRecentFilesKey, valueName(i), 4096, path) == platform::RegStatus::Ok && !path.isEmpty()
            && !files.contains(path))
            files.append(path);
    }
    return files;
}

QStringList rememberRecentFile(platform::Registry& registry, const QString& path)
{
    QStringList files = readRecentFiles(registry);
    files.removeAll(path);
    files.prepend(path);
    return store(registry, files);
}

QStringList forgetRecentFile(platform::Registry& registry, const QString& path)
{
    QStringList files = readRecentFiles(registry);
    files.removeAll(path);
    return store(registry, files);
}

}  // namespace shell
