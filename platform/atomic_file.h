#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

namespace platform {

// Replaces `path` with `bytes` so that a reader sees either the old or the new
// contents, never a mix: a temporary file beside the target is written, flushed
// to disk and renamed over it, then the folder entry is flushed too.
// Returns false (and leaves the old file untouched) when any step fails.
// The file keeps the mode the replaced one had (0644 when new), unless it is
// private: then it is 0600 from its first byte on, for files holding secrets.
enum class FileAccess { Usual, OwnerOnly };
bool writeFileAtomically(const QString& path, const QByteArray& bytes, FileAccess access = FileAccess::Usual);

// Writes `bytes` as a new file that no other file is replaced by: flushed to
// disk under a temporary name, then given the first of name(0), name(1), ...
// that no file has at that moment, even when another program takes names in
// the same folder at once. Answers the name it got, or an empty string (and
// leaves nothing behind) when any step fails; `error` then says why.
QString writeNewFile(const std::function<QString(int)>& name, const QByteArray& bytes, QString* error = nullptr);

// Reads a whole file. Returns false when it does not exist or cannot be read.
bool readWholeFile(const QString& path, QByteArray& bytes);

}  // namespace platform
