#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace platform {

// An ini file held as its lines, so that a change touches one line and keeps
// everything else (comments, unknown sections, odd lines) as it was.
// Section and key names compare without case; the first occurrence wins.
// Values lose surrounding blanks and one pair of matching quotes.
class IniDocument {
public:
    IniDocument() = default;
    explicit IniDocument(const QString& text);

    QString text() const;

    std::optional<QString> value(const QString& section, const QString& key) const;
    void setValue(const QString& section, const QString& key, const QString& value);
    bool removeKey(const QString& section, const QString& key);
    bool removeSection(const QString& section);
    QStringList keys(const QString& section) const;

private:
    struct Range {
        qsizetype header = -1;  // line of "[section]"
        qsizetype end = 0;      // one past its last line
    };
    std::optional<Range> findSection(const QString& section) const;
    qsizetype findKey(const Range& range, const QString& key) const;

    QStringList m_lines;
    QString m_eol = QStringLiteral("\n");
};

}  // namespace platform
