#include "companion_language.h"

#include "language_choice.h"
#include "registry_settings.h"

namespace base {

LanguageIds vellumetLanguageIds(platform::Registry& registry, const QLocale& systemLocale)
{
    LanguageIds ids;
    if (registry.queryDword(kConfigKey, QStringLiteral("languagemainid"), ids.mainId) != platform::RegStatus::Ok
        || (ids.mainId & 0xFFFF) == 0)
        return {primaryLanguageIdOf(systemLocale), 0};
    if (registry.queryDword(kConfigKey, QStringLiteral("languagesubid"), ids.subId) != platform::RegStatus::Ok)
        ids.subId = 0;
    return ids;
}

}  // namespace base
