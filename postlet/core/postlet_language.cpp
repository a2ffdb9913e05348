#include "postlet_language.h"

#include "base/language_choice.h"
#include "base/registry_settings.h"

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

QString choosePostletLanguageFile(platform::Registry& registry, const QString& programFolder)
{
    registry.createKey(kPostletConfigKey);
    quint32 mainId = ownValue(registry, QStringLiteral("languagemainid"));
    quint32 subId = ownValue(registry, QStringLiteral("languagesubid"));
    quint32 vellumetMain = 0;
    if (mainId == 0
        && registry.queryDword(base::kConfigKey, QStringLiteral("languagemainid"), vellumetMain) == platform::RegStatus::Ok
        && vellumetMain != 0) {
        mainId = vellumetMain;
        subId = 0;
        registry.queryDword(base::kConfigKey, QStringLiteral("languagesubid"), subId);
    }
    return base::chooseLanguageFile(programFolder, mainId, subId);
}

}  // namespace postlet
