#include "language_choice.h"

#include <utility>

namespace platform {

namespace {

struct LanguageFile {
    quint32 mainId;
    const char* fileName;
};

constexpr LanguageFile kFiles[] = {
    {1, "Arabic1256.ini"},     {2, "Bulgarian442.ini"}, {6, "Danish1252.ini"},      {7, "German1252.ini"},
    {10, "Spanish1252.ini"},   {11, "Finnish1252.ini"}, {12, "French1252.ini"},     {13, "Hebrew1255.ini"},
    {16, "Italian1252.ini"},   {17, "Japanese932.ini"}, {18, "Korean949.ini"},      {19, "Dutch1252.ini"},
    {20, "Norwegian1252.ini"}, {21, "Polish1250.ini"},  {22, "Portuguese1252.ini"}, {25, "Russian1251.ini"},
    {29, "Swedish1252.ini"},   {30, "Thai874.ini"},     {31, "Turkish1254.ini"},    {42, "Vietnamese1258.ini"},
};

constexpr quint32 kChinese = 4;
constexpr quint32 kTraditional = 1;

}  // namespace

QString chooseLanguageFile(const QString& programFolder, quint32 mainId, quint32 subId)
{
    mainId &= 0xFFFF;
    subId &= 0xFFFF;
    const char* name = "English1252.ini";
    if (mainId == kChinese) {
        name = subId == kTraditional ? "Chinese950.ini" : "Chinese936.ini";
    } else {
        for (const LanguageFile& f : kFiles) {
            if (f.mainId == mainId)
                name = f.fileName;
        }
    }
    return programFolder + QLatin1Char('/') + QLatin1String(name);
}

namespace {

const std::pair<QLocale::Language, quint32> kIds[] = {
    {QLocale::Arabic, 1},
    {QLocale::Bulgarian, 2},
    {QLocale::Catalan, 3},
    {QLocale::Chinese, 4},
    {QLocale::Czech, 5},
    {QLocale::Danish, 6},
    {QLocale::German, 7},
    {QLocale::Greek, 8},
    {QLocale::English, 9},
    {QLocale::Spanish, 10},
    {QLocale::Finnish, 11},
    {QLocale::French, 12},
    {QLocale::Hebrew, 13},
    {QLocale::Hungarian, 14},
    {QLocale::Icelandic, 15},
    {QLocale::Italian, 16},
    {QLocale::Japanese, 17},
    {QLocale::Korean, 18},
    {QLocale::Dutch, 19},
    {QLocale::NorwegianBokmal, 20},
    {QLocale::NorwegianNynorsk, 20},
    {QLocale::Polish, 21},
    {QLocale::Portuguese, 22},
    {QLocale::Romanian, 24},
    {QLocale::Russian, 25},
    {QLocale::Croatian, 26},
    {QLocale::Slovak, 27},
    {QLocale::Albanian, 28},
    {QLocale::Swedish, 29},
    {QLocale::Thai, 30},
    {QLocale::Turkish, 31},
    {QLocale::Urdu, 32},
    {QLocale::Indonesian, 33},
    {QLocale::Ukrainian, 34},
    {QLocale::Vietnamese, 42},
};

}  // namespace

quint32 primaryLanguageIdOf(const QLocale& locale)
{
    for (const auto& [language, id] : kIds) {
        if (language == locale.language())
            return id;
    }
    return 9;
}

QLocale localeOfLanguageIds(quint32 mainId, quint32 subId)
{
    mainId &= 0xFFFF;
    subId &= 0xFFFF;
    if (mainId == kChinese)
        return subId == kTraditional ? QLocale(QLocale::Chinese, QLocale::TraditionalChineseScript, QLocale::Taiwan)
                                     : QLocale(QLocale::Chinese, QLocale::SimplifiedChineseScript, QLocale::China);
    for (const auto& [language, id] : kIds) {
        if (id == mainId)
            return QLocale(language);
    }
    return QLocale(QLocale::English);
}

}  // namespace platform
