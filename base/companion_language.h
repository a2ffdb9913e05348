#pragma once

#include "platform/registry.h"

#include <QLocale>

namespace base {

// A primary and sub-language identifier pair (desktop numbering).
struct LanguageIds {
    quint32 mainId = 0;
    quint32 subId = 0;
};

// The language Vellumet runs in, for the companion programs: its stored pair,
// or the primary language of `systemLocale` when none is stored. Reads only.
LanguageIds vellumetLanguageIds(platform::Registry& registry, const QLocale& systemLocale);

}  // namespace base
