#pragma once

#include <QList>
#include <QPair>
#include <QString>

namespace platform {

// Private-profile access to ini files with the semantics settings code
// expects: a missing file, section or key gives the default; names compare
// without case; a write changes one line and keeps the rest of the file; the
// file is replaced atomically and written as UTF-8.

// `capacity` counts characters including a terminating zero, as the callers'
// fixed buffers did: the value is cut to capacity - 1 characters. 0 means no
// limit (paths are never cut).
QString readProfileString(const QString& path, const QString& section, const QString& key,
                          const QString& defaultValue = QString(), int capacity = 0);

// Leading decimal digits of the value (with an optional sign); 0 when the
// value is not a number; `defaultValue` when the key is missing.
int readProfileInt(const QString& path, const QString& section, const QString& key, int defaultValue);

bool writeProfileString(const QString& path, const QString& section, const QString& key, const QString& value);
// Several keys of one section in a single replace of the file.
bool writeProfileStrings(const QString& path, const QString& section, const QList<QPair<QString, QString>>& entries);
bool deleteProfileKey(const QString& path, const QString& section, const QString& key);
bool deleteProfileSection(const QString& path, const QString& section);

}  // namespace platform
