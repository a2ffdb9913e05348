#include "reg_text_format.h"

#include <QStringDecoder>
#include <QStringList>

namespace platform {

namespace {

const QLatin1String kHeader("Windows Registry Editor Version 5.00");
const QLatin1String kHive("HKEY_CURRENT_USER");

QString escapeText(const QString& s)
{
    QString out;
    out.reserve(s.size() + 2);
    for (const QChar c : s) {
        switch (c.unicode()) {
        case '\\': out += QLatin1String("\\\\"); break;
        case '"': out += QLatin1String("\\\""); break;
        case '\n': out += QLatin1String("\\n"); break;
        case '\r': out += QLatin1String("\\r"); break;
        case '\t': out += QLatin1String("\\t"); break;
        default: out += c;
        }
    }
    return out;
}

// Reads a quoted string starting at `pos` (on the opening quote). On success
// `pos` is just past the closing quote.
bool readQuoted(const QString& line, qsizetype& pos, QString& out)
{
    if (pos >= line.size() || line.at(pos) != QLatin1Char('"'))
        return false;
    out.clear();
    for (++pos; pos < line.size(); ++pos) {
        const QChar c = line.at(pos);
        if (c == QLatin1Char('"')) {
            ++pos;
            return true;
        }
        if (c != QLatin1Char('\\')) {
            out += c;
            continue;
        }
        if (++pos >= line.size())
            return false;
        switch (line.at(pos).unicode()) {
        case '\\': out += QLatin1Char('\\'); break;
        case '"': out += QLatin1Char('"'); break;
        case 'n': out += QLatin1Char('\n'); break;
        case 'r': out += QLatin1Char('\r'); break;
        case 't': out += QLatin1Char('\t'); break;
        default: return false;
        }
    }
    return false;  // no closing quote: the line was cut
}

bool parseDword(const QString& text, quint32& out)
{
    if (text.size() != 8)
        return false;
    bool ok = false;
    out = text.toUInt(&ok, 16);
    return ok;
}

bool parseHexBytes(const QString& text, QByteArray& out)
{
    out.clear();
    if (text.isEmpty())
        return true;
    const QStringList parts = text.split(QLatin1Char(','));
    for (const QString& part : parts) {
        const QString p = part.trimmed();
        bool ok = false;
        const uint b = p.toUInt(&ok, 16);
        if (!ok || p.size() != 2)
            return false;
        out.append(static_cast<char>(b));
    }
    return true;
}

bool parseValueData(const QString& data, const QString& name, RegValue& out)
{
    if (data.startsWith(QLatin1Char('"'))) {
        qsizetype pos = 0;
        QString text;
        if (!readQuoted(data, pos, text) || pos != data.size())
            return false;
        out = RegValue::ofString(name, text);
        return true;
    }
    if (data.startsWith(QLatin1String("dword:"))) {
        quint32 v = 0;
        if (!parseDword(data.mid(6), v))
            return false;
        out = RegValue::ofDword(name, v);
        return true;
    }
    if (data.startsWith(QLatin1String("hex:"))) {
        QByteArray bytes;
        if (!parseHexBytes(data.mid(4), bytes))
            return false;
        out = RegValue::ofBinary(name, bytes);
        return true;
    }
    return false;
}

RegParseResult fail(int line, const QString& why)
{
    RegParseResult r;
    r.errorLine = line;
    r.error = why;
    return r;
}

}  // namespace

QByteArray serializeRegText(const RegistryTree& tree)
{
    QString out = kHeader + QLatin1String("\n");
    for (const RegKey& key : tree.keys()) {
        out += QLatin1String("\n[") + kHive + QLatin1Char('\\') + key.path + QLatin1String("]\n");
        for (const RegValue& v : key.values) {
            out += QLatin1Char('"') + escapeText(v.name) + QLatin1String("\"=");
            switch (v.type) {
            case RegType::Dword: out += QStringLiteral("dword:%1").arg(v.dword, 8, 16, QLatin1Char('0')); break;
            case RegType::String: out += QLatin1Char('"') + escapeText(v.text) + QLatin1Char('"'); break;
            case RegType::Binary: {
                out += QLatin1String("hex:");
                QStringList bytes;
                for (const char b : v.binary)
                    bytes += QStringLiteral("%1").arg(static_cast<uchar>(b), 2, 16, QLatin1Char('0'));
                out += bytes.join(QLatin1Char(','));
                break;
            }
            }
            out += QLatin1Char('\n');
        }
    }
    return out.toUtf8();
}

RegParseResult parseRegText(const QByteArray& bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8);
    QString text = decoder(bytes);
    if (decoder.hasError())
        return fail(0, QStringLiteral("not UTF-8 text"));
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    // Every line we write ends with a line end, so a last line without one
    // means the file was cut short, even where the piece left would parse.
    if (!text.isEmpty() && !text.endsWith(QLatin1Char('\n')))
        return fail(static_cast<int>(text.count(QLatin1Char('\n'))) + 1, QStringLiteral("last line cut short"));

    // Join continuation lines of long hex values ("...,\" then the rest).
    QStringList lines;
    for (const QString& raw : text.split(QLatin1Char('\n'))) {
        QString line = raw;
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (!lines.isEmpty() && lines.last().endsWith(QLatin1Char('\\')) && lines.last().contains(QLatin1String("=hex:"))) {
            lines.last().chop(1);
            lines.last() += line.trimmed();
        } else {
            lines += line;
        }
    }

    RegistryTree tree;
    bool headerSeen = false;
    QString currentKey;
    int lineNo = 0;
    for (const QString& raw : lines) {
        ++lineNo;
        const QString line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')))
            continue;
        if (!headerSeen) {
            if (line != kHeader)
                return fail(lineNo, QStringLiteral("missing header"));
            headerSeen = true;
            continue;
        }
        if (line.startsWith(QLatin1Char('['))) {
            if (!line.endsWith(QLatin1Char(']')))
                return fail(lineNo, QStringLiteral("unterminated key"));
            const QString path = line.mid(1, line.size() - 2);
            if (!path.startsWith(kHive + QLatin1Char('\\'), Qt::CaseInsensitive))
                return fail(lineNo, QStringLiteral("key outside HKEY_CURRENT_USER"));
            currentKey = RegistryTree::normalizeKey(path.mid(kHive.size() + 1));
            if (currentKey.isEmpty())
                return fail(lineNo, QStringLiteral("empty key"));
            tree.createKey(currentKey);
            continue;
        }
        if (currentKey.isEmpty())
            return fail(lineNo, QStringLiteral("value outside any key"));
        qsizetype pos = 0;
        QString name;
        if (!readQuoted(line, pos, name) || pos >= line.size() || line.at(pos) != QLatin1Char('='))
            return fail(lineNo, QStringLiteral("malformed value name"));
        RegValue value;
        if (!parseValueData(line.mid(pos + 1), name, value))
            return fail(lineNo, QStringLiteral("malformed value data"));
        tree.setValue(currentKey, value);
    }
    if (!headerSeen)
        return fail(0, QStringLiteral("empty file"));
    RegParseResult r;
    r.tree = std::move(tree);
    return r;
}

}  // namespace platform
