#pragma once

#include <QTranslator>

#include <memory>

namespace platform {

// Qt's own texts (dialog buttons, file dialogs) in the language of a
// language identifier pair: Qt's qtbase translation for that language, read
// from Qt's translations folder and installed into the application. Null when
// there is none (English, or the translations are not installed). The
// translator takes itself out of the application when it is destroyed.
std::unique_ptr<QTranslator> installStandardTexts(quint32 mainId, quint32 subId);

}  // namespace platform
