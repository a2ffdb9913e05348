#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <vector>

namespace platform {

enum class RegType { Dword, String, Binary };

// Result of a registry query, in the terms callers expect from the desktop
// registry: a string that does not fit the caller's buffer answers MoreData.
enum class RegStatus { Ok, NotFound, MoreData, WrongType };

struct RegValue {
    QString name;
    RegType type = RegType::Dword;
    quint32 dword = 0;
    QString text;
    QByteArray binary;

    static RegValue ofDword(const QString& name, quint32 v);
    static RegValue ofString(const QString& name, const QString& v);
    static RegValue ofBinary(const QString& name, const QByteArray& v);
    bool operator==(const RegValue&) const = default;
};

struct RegKey {
    QString path;                  // below HKEY_CURRENT_USER, backslash-separated, no outer backslashes
    std::vector<RegValue> values;  // in the order they were first set
};

// The in-memory registry: keys and their typed values. Key paths and value
// names compare without case, as on the desktop registry. A key exists when it
// was created or when one of its subkeys was.
class RegistryTree {
public:
    static QString normalizeKey(const QString& path);

    bool keyExists(const QString& path) const;
    void createKey(const QString& path);
    // Removes the key, its values and all its subkeys. False when nothing was there.
    bool deleteTree(const QString& path);

    const RegValue* value(const QString& key, const QString& name) const;
    void setValue(const QString& key, const RegValue& value);
    bool deleteValue(const QString& key, const QString& name);

    RegStatus queryDword(const QString& key, const QString& name, quint32& out) const;
    // `capacity` counts characters including the terminating zero the desktop
    // registry stores; 0 means no limit.
    RegStatus queryString(const QString& key, const QString& name, int capacity, QString& out) const;
    RegStatus queryBinary(const QString& key, const QString& name, QByteArray& out) const;

    const std::vector<RegKey>& keys() const { return m_keys; }
    bool operator==(const RegistryTree& other) const;

private:
    RegKey* findKey(const QString& normalized);
    const RegKey* findKey(const QString& normalized) const;

    std::vector<RegKey> m_keys;
};

}  // namespace platform
