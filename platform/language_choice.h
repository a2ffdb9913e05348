#pragma once

#include <QLocale>
#include <QString>

namespace platform {

// A primary and sub-language identifier pair (desktop numbering).
struct LanguageIds {
    quint32 mainId = 0;
    quint32 subId = 0;
};

// The language file in `programFolder` for a primary and sub-language
// identifier pair (desktop numbering; only the low 16 bits count).
// Unknown languages, English included, give "English1252.ini".
QString chooseLanguageFile(const QString& programFolder, quint32 mainId, quint32 subId);

// The primary language identifier (desktop numbering) of a locale; 9
// (English) when the language has no number we know.
quint32 primaryLanguageIdOf(const QLocale& locale);

// The locale whose standard texts (buttons, standard dialogs) go with a
// language identifier pair: Chinese sub-language 1 is traditional, any
// other simplified; unknown languages give English.
QLocale localeOfLanguageIds(quint32 mainId, quint32 subId);

}  // namespace platform
