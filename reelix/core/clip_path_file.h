#pragma once

#include <QByteArray>
#include <QString>

namespace reelix {

// The file beside the program that names the clip to play at start.
inline constexpr char kClipPathFileName[] = "folderpath.txt";

// The path held in the file's bytes: 16-bit little-endian characters with no
// terminator. A last odd byte is ignored; a leading byte-order mark, anything
// from a NUL on and a trailing line break are not part of the path.
QString clipPathFromBytes(const QByteArray& bytes);

// The path named by the file, or empty when it is missing or names nothing.
QString readClipPathFile(const QString& filePath);

}  // namespace reelix
