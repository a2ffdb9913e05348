#include "number_text.h"

#include <QLocale>

#include <cmath>

namespace measure {

std::optional<double> parseDecimal(const QString& text)
{
    QString t = text.trimmed();
    if (t.isEmpty())
        return std::nullopt;
    int separators = 0;
    for (qsizetype i = 0; i < t.size(); ++i) {
        const QChar c = t.at(i);
        if (c == QLatin1Char(',') || c == QLatin1Char('.')) {
            ++separators;
            t[i] = QLatin1Char('.');
        } else if (!c.isDigit() && !(i == 0 && (c == QLatin1Char('-') || c == QLatin1Char('+')))) {
            return std::nullopt;
        }
    }
    bool ok = false;
    const double v = QLocale::c().toDouble(t, &ok);
    if (separators > 1 || !ok || !std::isfinite(v))
        return std::nullopt;
    return v;
}

bool isValidMagnification(const QString& text)
{
    if (text.isEmpty() || text.count(QLatin1Char('.')) > 1)
        return false;
    for (const QChar c : text) {
        if (!c.isDigit() && c != QLatin1Char('.'))
            return false;
    }
    const auto v = parseDecimal(text);
    return v && *v >= 1.0;
}

std::optional<double> parsePitch(const QString& text)
{
    for (const QChar c : text) {
        if (!c.isDigit() && c != QLatin1Char('.') && c != QLatin1Char(','))
            return std::nullopt;
    }
    const auto v = parseDecimal(text);
    if (!v || *v <= 0.0)
        return std::nullopt;
    return v;
}

}  // namespace measure
