#pragma once

#include <QByteArray>
#include <QString>

namespace measure::workbook {

// An OLE2 compound file (version 3, 512-byte sectors) holding one stream
// under the root storage, as spreadsheet programs expect a workbook: the
// stream is padded to 4096 bytes, so it never goes into the mini stream.
QByteArray compoundFileWithStream(const QString& streamName, const QByteArray& stream);

}  // namespace measure::workbook
