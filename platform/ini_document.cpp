#include "ini_document.h"

namespace platform {

namespace {

// The section name of a "[name]" line, or nothing for any other line.
std::optional<QString> sectionName(const QString& line)
{
    const QString t = line.trimmed();
    if (!t.startsWith(QLatin1Char('[')))
        return std::nullopt;
    const qsizetype close = t.indexOf(QLatin1Char(']'));
    if (close < 0)
        return std::nullopt;
    return t.mid(1, close - 1).trimmed();
}

bool isComment(const QString& trimmed)
{
    return trimmed.startsWith(QLatin1Char(';')) || trimmed.startsWith(QLatin1Char('#'));
}

// Splits a "key=value" line. False for blank lines, comments and lines without '='.
bool splitEntry(const QString& line, QString& key, QString& value)
{
    const QString t = line.trimmed();
    if (t.isEmpty() || isComment(t))
        return false;
    const qsizetype eq = t.indexOf(QLatin1Char('='));
    if (eq <= 0)
        return false;
    key = t.left(eq).trimmed();
    value = t.mid(eq + 1).trimmed();
    return true;
}

QString unquote(const QString& v)
{
    if (v.size() >= 2) {
        const QChar first = v.front();
        if ((first == QLatin1Char('"') || first == QLatin1Char('\'')) && v.back() == first)
            return v.mid(1, v.size() - 2);
    }
    return v;
}

}  // namespace

IniDocument::IniDocument(const QString& text)
{
    if (text.contains(QLatin1String("\r\n")))
        m_eol = QStringLiteral("\r\n");
    m_lines = text.split(QLatin1Char('\n'));
    for (QString& l : m_lines) {
        if (l.endsWith(QLatin1Char('\r')))
            l.chop(1);
    }
    // split() leaves one empty entry after the final line end.
    if (!m_lines.isEmpty() && m_lines.last().isEmpty())
        m_lines.removeLast();
}

QString IniDocument::text() const
{
    if (m_lines.isEmpty())
        return {};
    return m_lines.join(m_eol) + m_eol;
}

std::optional<IniDocument::Range> IniDocument::findSection(const QString& section) const
{
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        const auto name = sectionName(m_lines.at(i));
        if (!name || name->compare(section, Qt::CaseInsensitive) != 0)
            continue;
        Range r;
        r.header = i;
        r.end = i + 1;
        while (r.end < m_lines.size() && !sectionName(m_lines.at(r.end)))
            ++r.end;
        return r;
    }
    return std::nullopt;
}

qsizetype IniDocument::findKey(const Range& range, const QString& key) const
{
    QString k, v;
    for (qsizetype i = range.header + 1; i < range.end; ++i) {
        if (splitEntry(m_lines.at(i), k, v) && k.compare(key, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

std::optional<QString> IniDocument::value(const QString& section, const QString& key) const
{
    const auto range = findSection(section);
    if (!range)
        return std::nullopt;
    const qsizetype line = findKey(*range, key);
    if (line < 0)
        return std::nullopt;
    QString k, v;
    splitEntry(m_lines.at(line), k, v);
    return unquote(v);
}

void IniDocument::setValue(const QString& section, const QString& key, const QString& value)
{
    // A line break would end the entry early and turn the rest into a line
    // of its own, so breaks are stored as blanks.
    QString flat = value;
    flat.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    // Blanks at either end, or quotes that reading would strip, survive a
    // round trip inside one pair of quotes.
    const bool quotedAlready = flat.size() >= 2 && (flat.front() == QLatin1Char('"') || flat.front() == QLatin1Char('\''))
        && flat.back() == flat.front();
    if (flat != flat.trimmed() || quotedAlready)
        flat = QLatin1Char('"') + flat + QLatin1Char('"');
    const QString entry = key + QLatin1Char('=') + flat;
    auto range = findSection(section);
    if (!range) {
        if (!m_lines.isEmpty() && !m_lines.last().trimmed().isEmpty())
            m_lines.append(QString());
        m_lines.append(QLatin1Char('[') + section + QLatin1Char(']'));
        m_lines.append(entry);
        return;
    }
    const qsizetype line = findKey(*range, key);
    if (line >= 0) {
        m_lines[line] = entry;
        return;
    }
    // After the section's last non-blank line, so blank separators stay put.
    qsizetype at = range->end;
    while (at > range->header + 1 && m_lines.at(at - 1).trimmed().isEmpty())
        --at;
    m_lines.insert(at, entry);
}

bool IniDocument::removeKey(const QString& section, const QString& key)
{
    const auto range = findSection(section);
    if (!range)
        return false;
    const qsizetype line = findKey(*range, key);
    if (line < 0)
        return false;
    m_lines.removeAt(line);
    return true;
}

bool IniDocument::removeSection(const QString& section)
{
    const auto range = findSection(section);
    if (!range)
        return false;
    m_lines.remove(range->header, range->end - range->header);
    return true;
}

QStringList IniDocument::keys(const QString& section) const
{
    QStringList out;
    const auto range = findSection(section);
    if (!range)
        return out;
    QString k, v;
    for (qsizetype i = range->header + 1; i < range->end; ++i) {
        if (splitEntry(m_lines.at(i), k, v) && !out.contains(k, Qt::CaseInsensitive))
            out.append(k);
    }
    return out;
}

}  // namespace platform
