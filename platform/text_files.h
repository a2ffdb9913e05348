#pragma once

#include <QByteArray>
#include <QString>

namespace platform {

// Writes `text` as the whole content of `path` (UTF-8), replacing the file
// atomically. False when it cannot be written.
bool writeWholeText(const QString& path, const QString& text);

// The lines of a text file joined without their line ends; empty when the
// file does not exist. Decoded as UTF-8, else as Windows-1252.
QString readWholeText(const QString& path);

// A narrow, zero-terminated copy of `text` for byte-oriented interfaces
// (UTF-8, the system encoding here).
QByteArray toNarrow(const QString& text);

}  // namespace platform
