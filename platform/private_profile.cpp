#include "private_profile.h"

#include "atomic_file.h"
#include "ini_document.h"
#include "text_codec.h"

#include <QFileInfo>

#include <functional>

namespace platform {

namespace {

IniDocument load(const QString& path)
{
    QByteArray bytes;
    if (!readWholeFile(path, bytes))
        return IniDocument();
    return IniDocument(decodeIniText(bytes, QFileInfo(path).fileName()));
}

bool edit(const QString& path, const std::function<bool(IniDocument&)>& change)
{
    IniDocument doc = load(path);
    if (!change(doc))
        return true;  // nothing to change
    return writeFileAtomically(path, doc.text().toUtf8());
}

}  // namespace

QString readProfileString(const QString& path, const QString& section, const QString& key, const QString& defaultValue,
                          int capacity)
{
    QString v = load(path).value(section, key).value_or(defaultValue);
    if (capacity > 0 && v.size() > capacity - 1)
        v.truncate(capacity - 1);
    return v;
}

int readProfileInt(const QString& path, const QString& section, const QString& key, int defaultValue)
{
    const auto v = load(path).value(section, key);
    if (!v)
        return defaultValue;
    qsizetype end = 0;
    if (end < v->size() && (v->at(end) == QLatin1Char('-') || v->at(end) == QLatin1Char('+')))
        ++end;
    while (end < v->size() && v->at(end).isDigit())
        ++end;
    bool ok = false;
    const int n = v->left(end).toInt(&ok);
    return ok ? n : 0;
}

bool writeProfileString(const QString& path, const QString& section, const QString& key, const QString& value)
{
    return edit(path, [&](IniDocument& d) {
        d.setValue(section, key, value);
        return true;
    });
}

bool writeProfileStrings(const QString& path, const QString& section, const QList<QPair<QString, QString>>& entries)
{
    return edit(path, [&](IniDocument& d) {
        for (const auto& [key, value] : entries)
            d.setValue(section, key, value);
        return true;
    });
}

bool deleteProfileKey(const QString& path, const QString& section, const QString& key)
{
    return edit(path, [&](IniDocument& d) { return d.removeKey(section, key); });
}

bool deleteProfileSection(const QString& path, const QString& section)
{
    return edit(path, [&](IniDocument& d) { return d.removeSection(section); });
}

}  // namespace platform
