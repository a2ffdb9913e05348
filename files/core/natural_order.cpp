#include "natural_order.h"

namespace files {

namespace {

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// Compares the digit runs starting at a[i] and b[j] by value and moves both
// indexes past them. Leading zeros are skipped and the lengths compared
// first, so runs longer than any integer type still order by value.
int compareNumbers(QStringView a, qsizetype& i, QStringView b, qsizetype& j)
{
    auto significant = [](QStringView s, qsizetype& at) {
        while (at < s.size() && s[at] == u'0')
            ++at;
        const qsizetype start = at;
        while (at < s.size() && isDigit(s[at]))
            ++at;
        return s.sliced(start, at - start);
    };
    const QStringView x = significant(a, i);
    const QStringView y = significant(b, j);
    if (x.size() != y.size())
        return x.size() < y.size() ? -1 : 1;
    return x.compare(y);
}

}  // namespace

int naturalCompare(QStringView a, QStringView b)
{
    qsizetype i = 0;
    qsizetype j = 0;
    for (;;) {
        if (i == a.size())
            return j == b.size() ? 0 : -1;
        if (j == b.size())
            return 1;
        const bool digitA = isDigit(a[i]);
        const bool digitB = isDigit(b[j]);
        if (digitA != digitB)
            return digitA ? -1 : 1;
        if (digitA) {
            if (const int order = compareNumbers(a, i, b, j))
                return order < 0 ? -1 : 1;
            continue;
        }
        const char16_t x = a[i].toCaseFolded().unicode();
        const char16_t y = b[j].toCaseFolded().unicode();
        if (x != y)
            return x < y ? -1 : 1;
        ++i;
        ++j;
    }
}

}  // namespace files
