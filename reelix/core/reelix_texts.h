#pragma once

#include <QString>

namespace reelix {

// Reelix's texts, looked up by key in the language file Vellumet uses
// (section "TiScopara") when they are shown; the English default when the
// file or the key is missing.
void setLanguageFile(const QString& path);
QString text(const char* key, const char* defaultText);

}  // namespace reelix
