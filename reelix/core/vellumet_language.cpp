#include "vellumet_language.h"

namespace reelix {

namespace {

// Where Vellumet keeps its settings in the registry.
const QString kVellumetConfigKey = QStringLiteral("SOFTWARE\\Vellumet\\Vellumet\\Configation");

}  // namespace

platform::LanguageIds vellumetLanguageIds(platform::Registry& registry, const QLocale& systemLocale)
{
    platform::LanguageIds ids;
    if (registry.queryDword(kVellumetConfigKey, QStringLiteral("languagemainid"), ids.mainId) != platform::RegStatus::Ok
        || (ids.mainId & 0xFFFF) == 0)
        return {platform::primaryLanguageIdOf(systemLocale), 0};
    if (registry.queryDword(kVellumetConfigKey, QStringLiteral("languagesubid"), ids.subId) != platform::RegStatus::Ok)
        ids.subId = 0;
    return ids;
}

}  // namespace reelix
