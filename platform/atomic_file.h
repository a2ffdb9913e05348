#pragma once

#include <QByteArray>
#include <QString>

namespace platform {

// Replaces `path` with `bytes` so that a reader sees either the old or the new
// contents, never a mix: a temporary file beside the target is written, flushed
// to disk and renamed over it, then the folder entry is flushed too.
// Returns false (and leaves the old file untouched) when any step fails.
bool writeFileAtomically(const QString& path, const QByteArray& bytes);

// Reads a whole file. Returns false when it does not exist or cannot be read.
bool readWholeFile(const QString& path, QByteArray& bytes);

}  // namespace platform
