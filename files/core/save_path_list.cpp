#include "save_path_list.h"

#include "platform/atomic_file.h"
#include "platform/ini_document.h"
#include "platform/text_codec.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <utility>

namespace files {

namespace {

const QString kSection = QStringLiteral("SavePath");
const QString kKeyPrefix = QStringLiteral("SaveFile");

// The SaveFile keys with their numbers, in numbering order.
QList<std::pair<qulonglong, QString>> numberedKeys(const platform::IniDocument& ini)
{
    QList<std::pair<qulonglong, QString>> keys;
    for (const QString& key : ini.keys(kSection)) {
        if (!key.startsWith(kKeyPrefix, Qt::CaseInsensitive))
            continue;
        bool ok = false;
        const qulonglong number = key.mid(kKeyPrefix.size()).toULongLong(&ok);
        if (ok && number > 0)
            keys.append({number, key});
    }
    std::stable_sort(keys.begin(), keys.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    return keys;
}

}  // namespace

QStringList readSavePathList(const platform::IniDocument& ini, int limit)
{
    QStringList folders;
    for (const auto& [number, key] : numberedKeys(ini)) {
        if (limit >= 0 && folders.size() >= limit)
            break;
        const QString value = ini.value(kSection, key).value_or(QString());
        if (!value.isEmpty())
            folders.append(value);
    }
    return folders;
}

void setSavePathList(platform::IniDocument& ini, const QStringList& folders)
{
    ini.removeSection(kSection);
    for (qsizetype i = 0; i < folders.size(); ++i)
        ini.setValue(kSection, kKeyPrefix + QString::number(i + 1), folders[i]);
}

bool removeFromSavePathList(platform::IniDocument& ini, const QString& folder)
{
    const QString wanted = QDir::cleanPath(folder);
    bool removed = false;
    for (const auto& [number, key] : numberedKeys(ini)) {
        const QString value = ini.value(kSection, key).value_or(QString());
        if (!value.isEmpty() && QDir::cleanPath(value) == wanted)
            removed = ini.removeKey(kSection, key) || removed;
    }
    return removed;
}

platform::IniDocument readSavePathIni(const QString& path)
{
    QByteArray bytes;
    if (!platform::readWholeFile(path, bytes))
        return platform::IniDocument();
    return platform::IniDocument(platform::decodeIniText(bytes, QFileInfo(path).fileName()));
}

bool writeSavePathIni(const QString& path, const platform::IniDocument& ini)
{
    return platform::writeFileAtomically(path, ini.text().toUtf8());
}

}  // namespace files
