#pragma once

#include <QByteArray>
#include <QString>

namespace platform {

// The iconv name of the code page a language file's name carries
// ("English1252.ini" -> "CP1252", "Chinese936.ini" -> "GBK"); empty when the
// name carries none we know.
QByteArray codePageOfFileName(const QString& fileName);

// Decodes `bytes` with iconv. False when the converter is unknown or the bytes
// are not valid in that code page.
bool decodeWithCodePage(const QByteArray& bytes, const QByteArray& iconvName, QString& out);

// Decodes the text of an ini file: a UTF-16 file with its byte-order mark,
// UTF-8 when the bytes are valid UTF-8 (or most of the lines that need more
// than ASCII are), otherwise the code page of the file name, otherwise
// Windows-1252 (every byte decodes, so nothing is refused). A byte that does
// not fit becomes U+FFFD: the rest of its line and every other line keep
// their text.
QString decodeIniText(const QByteArray& bytes, const QString& fileName);

}  // namespace platform
