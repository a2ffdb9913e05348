#pragma once

#include "registry_tree.h"

#include <QString>

#include <functional>
#include <vector>

namespace platform {

// A damaged settings file that was renamed so that defaults could be used.
struct SetAsideFile {
    QString path;
    QString keptAs;
    QString why;
};

// The files set aside since the last call, each once.
std::vector<SetAsideFile> takeSetAsideFiles();

// The per-user registry, kept in one .reg text file that the main program
// and its companions share. Every operation takes an exclusive lock on a
// lock file beside it and reads the file afresh, and every change is written
// back atomically before the lock is released, so two processes setting
// values at the same time lose nothing.
//
// A damaged file (cut short, garbage) is renamed to "<file>.bad", reported
// once on stderr and treated as empty, so the program starts on defaults.
// takeSetAsideFiles() tells the program, so it can tell the user.
class Registry {
public:
    explicit Registry(const QString& filePath);

    // $XDG_CONFIG_HOME/Vellumet/registry.reg
    static QString defaultFilePath();

    const QString& filePath() const { return m_path; }

    // The whole registry as it is on disk now.
    RegistryTree snapshot() const;

    // Applies `change` to the current contents and writes the result back,
    // all under the lock. False when the store cannot be written; the file is
    // then unchanged.
    bool update(const std::function<void(RegistryTree&)>& change);

    // Opens or creates a key. False when it did not exist and the store
    // cannot be written.
    bool createKey(const QString& key);

    RegStatus queryDword(const QString& key, const QString& name, quint32& out) const;
    RegStatus queryString(const QString& key, const QString& name, int capacity, QString& out) const;
    RegStatus queryBinary(const QString& key, const QString& name, QByteArray& out) const;

    bool setDword(const QString& key, const QString& name, quint32 value);
    bool setString(const QString& key, const QString& name, const QString& value);
    bool setBinary(const QString& key, const QString& name, const QByteArray& value);
    bool deleteValue(const QString& key, const QString& name);

    // Deletes a key with all its values and subkeys. True when it is gone
    // afterwards (also when it never existed).
    bool deleteTree(const QString& key);

private:
    RegistryTree loadLocked() const;
    QString lockPath() const { return m_path + QLatin1String(".lock"); }

    QString m_path;
};

}  // namespace platform
