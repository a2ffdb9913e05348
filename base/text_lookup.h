#pragma once

#include <QString>

namespace base {

// Every text the program shows is looked up by key in section "TiScopara" of
// the language file at the moment it is shown; nothing is cached, so a
// changed file is seen by the next window built. The English default is used
// when the file or the key is missing.

// Capacities count characters including the terminating zero, as the
// callers' buffers did; the text is cut to capacity - 1 characters.
constexpr int kTextCapacity = 256;
constexpr int kMessageCapacity = 260;
constexpr int kPaneTitleCapacity = 128;

QString lookUpText(const QString& languageFile, const QString& key, const QString& defaultText, int capacity = kTextCapacity);

// The language file of this run, set at start-up and by the language commands.
void setLanguageFile(const QString& path);
QString languageFile();

// Looks up in the language file of this run.
QString uiText(const char* key, const char* defaultText, int capacity = kTextCapacity);

// What the user is told when a picture cannot be written: the path and why.
QString saveFailedText(const QString& path, const QString& reason);
// What the user is told when a clip stops because it cannot be written
// further (a full disk): the clip, which keeps what was recorded, and why.
QString clipStoppedText(const QString& path, const QString& reason);
// What the user is told when a picture cannot be opened: the path and why.
QString openFailedText(const QString& path, const QString& reason = QString());
// A status message about a file, looked up by `key`: `defaultText` holds %1
// for the file's name and %2 for its folder ("Picture saved: %1 in %2").
QString fileStatusText(const char* key, const char* defaultText, const QString& path);

}  // namespace base
