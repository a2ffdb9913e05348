#include "registry_tree.h"

#include <QStringList>

#include <algorithm>

namespace platform {

namespace {

bool sameName(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// True when `path` is `ancestor` itself or lies below it.
bool isWithin(const QString& path, const QString& ancestor)
{
    if (sameName(path, ancestor))
        return true;
    return path.size() > ancestor.size() && path.at(ancestor.size()) == QLatin1Char('\\')
        && sameName(path.left(ancestor.size()), ancestor);
}

}  // namespace

RegValue RegValue::ofDword(const QString& name, quint32 v)
{
    RegValue r;
    r.name = name;
    r.type = RegType::Dword;
    r.dword = v;
    return r;
}

RegValue RegValue::ofString(const QString& name, const QString& v)
{
    RegValue r;
    r.name = name;
    r.type = RegType::String;
    r.text = v;
    return r;
}

RegValue RegValue::ofBinary(const QString& name, const QByteArray& v)
{
    RegValue r;
    r.name = name;
    r.type = RegType::Binary;
    r.binary = v;
    return r;
}

QString RegistryTree::normalizeKey(const QString& path)
{
    QString p = path;
    p.replace(QLatin1Char('/'), QLatin1Char('\\'));
    const QStringList parts = p.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
    return parts.join(QLatin1Char('\\'));
}

RegKey* RegistryTree::findKey(const QString& normalized)
{
    auto it = std::find_if(m_keys.begin(), m_keys.end(), [&](const RegKey& k) { return sameName(k.path, normalized); });
    return it == m_keys.end() ? nullptr : &*it;
}

const RegKey* RegistryTree::findKey(const QString& normalized) const
{
    return const_cast<RegistryTree*>(this)->findKey(normalized);
}

bool RegistryTree::keyExists(const QString& path) const
{
    const QString key = normalizeKey(path);
    if (key.isEmpty())
        return true;
    return std::any_of(m_keys.begin(), m_keys.end(), [&](const RegKey& k) { return isWithin(k.path, key); });
}

void RegistryTree::createKey(const QString& path)
{
    const QString key = normalizeKey(path);
    if (!key.isEmpty() && !findKey(key))
        m_keys.push_back(RegKey{key, {}});
}

bool RegistryTree::deleteTree(const QString& path)
{
    const QString key = normalizeKey(path);
    if (key.isEmpty())
        return false;
    const auto before = m_keys.size();
    std::erase_if(m_keys, [&](const RegKey& k) { return isWithin(k.path, key); });
    return m_keys.size() != before;
}

const RegValue* RegistryTree::value(const QString& key, const QString& name) const
{
    const RegKey* k = findKey(normalizeKey(key));
    if (!k)
        return nullptr;
    auto it = std::find_if(k->values.begin(), k->values.end(), [&](const RegValue& v) { return sameName(v.name, name); });
    return it == k->values.end() ? nullptr : &*it;
}

void RegistryTree::setValue(const QString& key, const RegValue& value)
{
    createKey(key);
    RegKey* k = findKey(normalizeKey(key));
    if (!k)
        return;
    auto it = std::find_if(k->values.begin(), k->values.end(), [&](const RegValue& v) { return sameName(v.name, value.name); });
    if (it == k->values.end())
        k->values.push_back(value);
    else
        *it = value;
}

bool RegistryTree::deleteValue(const QString& key, const QString& name)
{
    RegKey* k = findKey(normalizeKey(key));
    if (!k)
        return false;
    return std::erase_if(k->values, [&](const RegValue& v) { return sameName(v.name, name); }) > 0;
}

RegStatus RegistryTree::queryDword(const QString& key, const QString& name, quint32& out) const
{
    const RegValue* v = value(key, name);
    if (!v)
        return RegStatus::NotFound;
    if (v->type != RegType::Dword)
        return RegStatus::WrongType;
    out = v->dword;
    return RegStatus::Ok;
}

RegStatus RegistryTree::queryString(const QString& key, const QString& name, int capacity, QString& out) const
{
    const RegValue* v = value(key, name);
    if (!v)
        return RegStatus::NotFound;
    if (v->type != RegType::String)
        return RegStatus::WrongType;
    if (capacity > 0 && v->text.size() + 1 > capacity)
        return RegStatus::MoreData;
    out = v->text;
    return RegStatus::Ok;
}

RegStatus RegistryTree::queryBinary(const QString& key, const QString& name, QByteArray& out) const
{
    const RegValue* v = value(key, name);
    if (!v)
        return RegStatus::NotFound;
    if (v->type != RegType::Binary)
        return RegStatus::WrongType;
    out = v->binary;
    return RegStatus::Ok;
}

bool RegistryTree::operator==(const RegistryTree& other) const
{
    if (m_keys.size() != other.m_keys.size())
        return false;
    for (const RegKey& k : m_keys) {
        const RegKey* o = other.findKey(k.path);
        if (!o || o->values.size() != k.values.size())
            return false;
        for (const RegValue& v : k.values) {
            const RegValue* ov = other.value(k.path, v.name);
            if (!ov || ov->type != v.type || ov->dword != v.dword || ov->text != v.text || ov->binary != v.binary)
                return false;
        }
    }
    return true;
}

}  // namespace platform
