#include "text_lookup.h"

#include "platform/private_profile.h"

#include <QDir>
#include <QFileInfo>

#include <mutex>

namespace base {

namespace {

std::mutex g_mutex;
QString g_languageFile;

}  // namespace

QString lookUpText(const QString& languageFile, const QString& key, const QString& defaultText, int capacity)
{
    QString text = languageFile.isEmpty()
        ? defaultText
        : platform::readProfileString(languageFile, QStringLiteral("TiScopara"), key, defaultText);
    if (capacity > 0 && text.size() > capacity - 1) {
        text.truncate(capacity - 1);
        // Never leave half of a character that needs two UTF-16 units.
        if (!text.isEmpty() && text.back().isHighSurrogate())
            text.chop(1);
    }
    return text;
}

void setLanguageFile(const QString& path)
{
    const std::lock_guard guard(g_mutex);
    g_languageFile = path;
}

QString languageFile()
{
    const std::lock_guard guard(g_mutex);
    return g_languageFile;
}

QString uiText(const char* key, const char* defaultText, int capacity)
{
    return lookUpText(languageFile(), QLatin1String(key), QString::fromUtf8(defaultText), capacity);
}

QString saveFailedText(const QString& path, const QString& reason)
{
    return QStringLiteral("%1\n%2\n%3").arg(uiText("SaveFailed", "The picture could not be saved:"), path, reason);
}

QString clipStoppedText(const QString& path, const QString& reason)
{
    return QStringLiteral("%1\n%2\n%3")
        .arg(uiText("ClipWriteFailed",
                    "Recording stopped: the clip could not be written further. It keeps what was recorded until then:"),
             path, reason);
}

QString openFailedText(const QString& path, const QString& reason)
{
    QString text = QStringLiteral("%1\n%2").arg(uiText("OpenFailed", "The picture could not be opened:"), path);
    if (!reason.isEmpty())
        text += QLatin1Char('\n') + reason;
    return text;
}

QString fileStatusText(const char* key, const char* defaultText, const QString& path)
{
    const QFileInfo file(path);
    return uiText(key, defaultText).arg(file.fileName(), QDir::toNativeSeparators(file.absolutePath()));
}

}  // namespace base
