#include "reelix_texts.h"

#include "platform/private_profile.h"

#include <mutex>

namespace reelix {

namespace {

std::mutex g_mutex;
QString g_languageFile;

}  // namespace

void setLanguageFile(const QString& path)
{
    const std::lock_guard guard(g_mutex);
    g_languageFile = path;
}

QString text(const char* key, const char* defaultText)
{
    QString file;
    {
        const std::lock_guard guard(g_mutex);
        file = g_languageFile;
    }
    const QString english = QString::fromUtf8(defaultText);
    return file.isEmpty() ? english : platform::readProfileString(file, QStringLiteral("TiScopara"), QLatin1String(key), english);
}

}  // namespace reelix
