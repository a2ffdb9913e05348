#pragma once

#include <QString>
#include <QTemporaryDir>

namespace testing_support {

// A throw-away home for one test: HOME and the XDG folders point into a
// temporary folder for the lifetime of the object and are put back after.
class Sandbox {
public:
    Sandbox();
    ~Sandbox();
    Sandbox(const Sandbox&) = delete;
    Sandbox& operator=(const Sandbox&) = delete;

    QString path() const { return m_dir.path(); }
    QString home() const { return m_dir.path() + QLatin1String("/home"); }
    QString documents() const { return home() + QLatin1String("/Documents"); }
    QString config() const { return home() + QLatin1String("/.config"); }
    QString registryFile() const { return config() + QLatin1String("/Vellumet/registry.reg"); }
    QString programFolder() const { return m_dir.path() + QLatin1String("/program"); }

private:
    QTemporaryDir m_dir;
    struct Saved {
        const char* name;
        QByteArray value;
        bool wasSet;
    };
    std::vector<Saved> m_saved;
};

// Writes bytes to a file, creating its folder. Fails the test on error.
void writeFile(const QString& path, const QByteArray& bytes);
QByteArray readFile(const QString& path);

}  // namespace testing_support
