#pragma once

#include <QByteArray>
#include <QString>

namespace platform {

// Replaces `path` with `bytes` so that a reader sees either the old or the new
// contents, never a mix: a temporary file beside the target is written, flushed
// to disk and renamed over it, then the folder entry is flushed too.
// Returns false (and leaves the old file untouched) when any step fails.
// The file keeps the mode the replaced one had (0644 when new), unless it is
// private: then it is 0600 from its first byte on, for files holding secrets.
enum class FileAccess { Usual, OwnerOnly };
bool writeFileAtomically(const QString& path, const QByteArray& bytes, FileAccess access = FileAccess::Usual);

// Reads a whole file. Returns false when it does not exist or cannot be read.
bool readWholeFile(const QString& path, QByteArray& bytes);

}  // namespace platform
