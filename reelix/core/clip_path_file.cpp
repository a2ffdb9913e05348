#include "reelix/core/clip_path_file.h"

#include <QFile>

namespace reelix {

QString clipPathFromBytes(const QByteArray& bytes)
{
    const qsizetype count = bytes.size() / 2;
    QString path;
    path.reserve(count);
    for (qsizetype i = 0; i < count; ++i) {
        const auto unit = char16_t(uchar(bytes[2 * i]) | uchar(bytes[2 * i + 1]) << 8);
        if (unit == 0)
            break;
        if (i == 0 && unit == 0xfeff)
            continue;
        path.append(QChar(unit));
    }
    while (path.endsWith(QLatin1Char('\n')) || path.endsWith(QLatin1Char('\r')))
        path.chop(1);
    return path;
}

QString readClipPathFile(const QString& filePath)
{
    QFile file(filePath);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return clipPathFromBytes(file.readAll());
}

}  // namespace reelix
