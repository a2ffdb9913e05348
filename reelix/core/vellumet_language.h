#pragma once

#include "platform/language_choice.h"
#include "platform/registry.h"

#include <QLocale>

namespace reelix {

// The language Vellumet runs in, which Reelix speaks too: its stored pair,
// or the primary language of `systemLocale` when none is stored. Reads only.
platform::LanguageIds vellumetLanguageIds(platform::Registry& registry, const QLocale& systemLocale);

}  // namespace reelix
