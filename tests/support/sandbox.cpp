#include "sandbox.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdlib>
#include <stdexcept>

namespace testing_support {

Sandbox::Sandbox()
{
    if (!m_dir.isValid())
        throw std::runtime_error("cannot create a temporary folder");
    const QString h = home();
    const std::pair<const char*, QString> vars[] = {
        {"HOME", h},
        {"XDG_CONFIG_HOME", h + QLatin1String("/.config")},
        {"XDG_DATA_HOME", h + QLatin1String("/.local/share")},
        {"XDG_CACHE_HOME", h + QLatin1String("/.cache")},
        {"XDG_DOCUMENTS_DIR", h + QLatin1String("/Documents")},
        {"XDG_RUNTIME_DIR", m_dir.path() + QLatin1String("/run")},
    };
    for (const auto& [name, value] : vars) {
        const char* old = std::getenv(name);
        m_saved.push_back({name, old ? QByteArray(old) : QByteArray(), old != nullptr});
        QDir().mkpath(value);
        ::setenv(name, QFile::encodeName(value).constData(), 1);
    }
    QFile::setPermissions(m_dir.path() + QLatin1String("/run"),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QDir().mkpath(programFolder());
}

Sandbox::~Sandbox()
{
    for (const Saved& s : m_saved) {
        if (s.wasSet)
            ::setenv(s.name, s.value.constData(), 1);
        else
            ::unsetenv(s.name);
    }
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write " + path.toStdString());
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

}  // namespace testing_support
