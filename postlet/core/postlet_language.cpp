#include "postlet_language.h"

#include "base/registry_settings.h"
#include "platform/language_choice.h"

namespace postlet {

namespace {

quint32 ownValue(platform::Registry& registry, const QString& name)
{
    quint32 v = 0;
    if (registry.queryDword(kPostletConfigKey, name, v) == platform::RegStatus::Ok)
        return v;
    registry.setDword(kPostletConfigKey, name, 0);
    return 0;
}

}  // namespace

platform::LanguageIds postletLanguageIds(platform::Registry& registry)
{
    registry.createKey(kPostletConfigKey);
    platform::LanguageIds ids{ownValue(registry, QStringLiteral("languagemainid")),
                              ownValue(registry, QStringLiteral("languagesubid"))};
    quint32 vellumetMain = 0;
    if (ids.mainId == 0
        && registry.queryDword(base::kConfigKey, QStringLiteral("languagemainid"), vellumetMain) == platform::RegStatus::Ok
        && vellumetMain != 0) {
        ids = {vellumetMain, 0};
        registry.queryDword(base::kConfigKey, QStringLiteral("languagesubid"), ids.subId);
    }
    return ids;
}

QString choosePostletLanguageFile(platform::Registry& registry, const QString& programFolder)
{
    const platform::LanguageIds ids = postletLanguageIds(registry);
    return platform::chooseLanguageFile(programFolder, ids.mainId, ids.subId);
}

}  // namespace postlet
