#include "registry.h"

#include "atomic_file.h"
#include "file_lock.h"
#include "known_folders.h"
#include "reg_text_format.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>
#include <mutex>
#include <set>
#include <utility>

namespace platform {

namespace {

std::mutex g_setAsideMutex;
std::vector<SetAsideFile> g_setAsideUntold;

// Each damaged file is reported once per process, however often it is read.
void reportSetAside(const QString& path, const QString& keptAs, const QString& why)
{
    static std::set<QString> reported;
    const std::lock_guard guard(g_setAsideMutex);
    if (!reported.insert(path).second)
        return;
    std::fprintf(stderr, "vellumet: the settings file %s was damaged (%s); it was set aside as %s and defaults are used\n",
                 qPrintable(path), qPrintable(why), qPrintable(keptAs));
    g_setAsideUntold.push_back({path, keptAs, why});
}

}  // namespace

std::vector<SetAsideFile> takeSetAsideFiles()
{
    const std::lock_guard guard(g_setAsideMutex);
    return std::exchange(g_setAsideUntold, {});
}

Registry::Registry(const QString& filePath) : m_path(filePath) {}

QString Registry::defaultFilePath()
{
    return configFolder() + QLatin1String("/registry.reg");
}

RegistryTree Registry::loadLocked() const
{
    QByteArray bytes;
    if (!readWholeFile(m_path, bytes))
        return {};
    RegParseResult parsed = parseRegText(bytes);
    if (parsed.tree)
        return std::move(*parsed.tree);
    const QString bad = m_path + QLatin1String(".bad");
    QFile::remove(bad);
    QFile::rename(m_path, bad);
    reportSetAside(m_path, bad,
                   parsed.errorLine > 0 ? QStringLiteral("line %1: %2").arg(parsed.errorLine).arg(parsed.error) : parsed.error);
    return {};
}

RegistryTree Registry::snapshot() const
{
    if (!QFileInfo::exists(m_path))
        return {};
    const FileLock lock(lockPath());
    return loadLocked();
}

bool Registry::update(const std::function<void(RegistryTree&)>& change)
{
    if (!QDir().mkpath(QFileInfo(m_path).absolutePath()))
        return false;
    const FileLock lock(lockPath());
    if (!lock.isLocked())
        return false;
    RegistryTree tree = loadLocked();
    change(tree);
    return writeFileAtomically(m_path, serializeRegText(tree));
}

bool Registry::createKey(const QString& key)
{
    if (snapshot().keyExists(key))
        return true;
    return update([&](RegistryTree& t) { t.createKey(key); });
}

RegStatus Registry::queryDword(const QString& key, const QString& name, quint32& out) const
{
    return snapshot().queryDword(key, name, out);
}

RegStatus Registry::queryString(const QString& key, const QString& name, int capacity, QString& out) const
{
    return snapshot().queryString(key, name, capacity, out);
}

RegStatus Registry::queryBinary(const QString& key, const QString& name, QByteArray& out) const
{
    return snapshot().queryBinary(key, name, out);
}

bool Registry::setDword(const QString& key, const QString& name, quint32 value)
{
    return update([&](RegistryTree& t) { t.setValue(key, RegValue::ofDword(name, value)); });
}

bool Registry::setString(const QString& key, const QString& name, const QString& value)
{
    return update([&](RegistryTree& t) { t.setValue(key, RegValue::ofString(name, value)); });
}

bool Registry::setBinary(const QString& key, const QString& name, const QByteArray& value)
{
    return update([&](RegistryTree& t) { t.setValue(key, RegValue::ofBinary(name, value)); });
}

bool Registry::deleteValue(const QString& key, const QString& name)
{
    return update([&](RegistryTree& t) { t.deleteValue(key, name); });
}

bool Registry::deleteTree(const QString& key)
{
    if (!snapshot().keyExists(key))
        return true;
    return update([&](RegistryTree& t) { t.deleteTree(key); });
}

}  // namespace platform
