#pragma once

#include <QByteArray>

namespace postlet {

// Quoted-printable (RFC 2045) for a text body: every line break of the text
// ("\n", "\r\n" or "\r") becomes a hard "\r\n"; lines are cut with soft breaks
// so no line passes 76 characters; "=", bytes outside printable ASCII and
// blanks before a line end are written "=XX". A "-" that starts a line is
// written "=2D" too, so no body line can ever read as a part boundary.
QByteArray encodeQuotedPrintable(const QByteArray& text);

}  // namespace postlet
