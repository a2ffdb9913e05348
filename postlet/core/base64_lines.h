#pragma once

#include <QByteArray>

namespace postlet {

// Base64 (RFC 4648 alphabet, "=" padding) as mail bodies carry it: "\r\n"
// after every 76 characters and at the end. Empty input gives "\r\n".
QByteArray encodeBase64Lines(const QByteArray& bytes);

// Base64 in one piece, for header words and login answers.
QByteArray encodeBase64(const QByteArray& bytes);

// Decodes leniently, as a server challenge needs: control characters 7 to 13
// are skipped, decoding stops at "=" and at any other character outside the
// alphabet.
QByteArray decodeBase64Lenient(const QByteArray& text);

}  // namespace postlet
