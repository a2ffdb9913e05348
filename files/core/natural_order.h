#pragma once

#include <QStringView>

namespace files {

// Names as people count them: a run of digits compares by its value (img9
// before img10, 9a before 10a), other characters without case, and a digit
// before anything else. Numbers of any length compare correctly.
// Negative when a comes first, 0 when they rank alike, positive otherwise.
int naturalCompare(QStringView a, QStringView b);

inline bool naturalLess(QStringView a, QStringView b)
{
    return naturalCompare(a, b) < 0;
}

}  // namespace files
