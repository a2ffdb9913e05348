#pragma once

#include "platform/registry.h"
#include "reelix/core/vellumet_language.h"

#include <QString>

namespace postlet {

// Where Postlet keeps its own language values.
inline const QString kPostletConfigKey = QStringLiteral("SOFTWARE\\Lensio\\Lensio\\Configation");

// Postlet's language for this run: Postlet's own
// "languagemainid" and "languagesubid" (created as 0 when missing); when its
// main id is 0 and Vellumet has chosen a language, Vellumet's pair, so both
// programs speak alike. 0 everywhere gives English.
platform::LanguageIds postletLanguageIds(platform::Registry& registry);
// The language file in `programFolder` for that language.
QString choosePostletLanguageFile(platform::Registry& registry, const QString& programFolder);

}  // namespace postlet
