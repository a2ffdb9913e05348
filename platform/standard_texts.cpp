#include "standard_texts.h"

#include "language_choice.h"

#include <QCoreApplication>
#include <QLibraryInfo>

namespace platform {

std::unique_ptr<QTranslator> installStandardTexts(quint32 mainId, quint32 subId)
{
    const QLocale locale = localeOfLanguageIds(mainId, subId);
    if (locale.language() == QLocale::English)
        return nullptr;  // Qt's texts are English already
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))
        || !QCoreApplication::installTranslator(translator.get()))
        return nullptr;
    return translator;
}

}  // namespace platform
