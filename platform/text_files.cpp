#include "text_files.h"

#include "atomic_file.h"
#include "text_codec.h"

#include <QFileInfo>

namespace platform {

bool writeWholeText(const QString& path, const QString& text)
{
    return writeFileAtomically(path, text.toUtf8());
}

QString readWholeText(const QString& path)
{
    QByteArray bytes;
    if (!readWholeFile(path, bytes))
        return {};
    QString text = decodeIniText(bytes, QFileInfo(path).fileName());
    text.remove(QLatin1Char('\r'));
    text.remove(QLatin1Char('\n'));
    return text;
}

QByteArray toNarrow(const QString& text)
{
    return text.toUtf8();
}

}  // namespace platform
