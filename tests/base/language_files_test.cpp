// The shipped language files against the texts Vellumet, Postlet and Reelix
// look up. The keys are read from the programs' sources, so a text added to
// the code without a translation fails here rather than showing in English
// among translated ones.
#include "base/command_tables.h"
#include "base/text_lookup.h"
#include "platform/language_choice.h"

#include "platform/ini_document.h"
#include "platform/text_codec.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QRegularExpression>

#include <algorithm>
#include <optional>

#include <gtest/gtest.h>

namespace {

const QString kSourceFolder = QStringLiteral(VELLUMET_SOURCE_DIR);
const QString kLanguageFolder = kSourceFolder + QLatin1String("/resources/lang");
const QString kSection = QStringLiteral("TiScopara");

// Literal pairs in the scanned files that look like a key and its default but
// are not looked up: the DPI submenu's fixed title beside its object name.
const QStringList kNotLookedUp{QStringLiteral("DPI")};
// Keys no literal pair shows: the export dialog's tabs and the camera
// property rows look up their names from a table.
const QStringList kKeysOfNames{QStringLiteral("Line"),     QStringLiteral("Polygon"),    QStringLiteral("Circle"),
                               QStringLiteral("Arc"),      QStringLiteral("Angle"),      QStringLiteral("Brightness"),
                               QStringLiteral("Contrast"), QStringLiteral("Saturation"), QStringLiteral("Sharpness"),
                               QStringLiteral("Gamma"),    QStringLiteral("Hue"),        QStringLiteral("WhiteBalance"),
                               QStringLiteral("Exposure")};

// One place the program looks a text up.
struct LookUp {
    QString key;
    QString english;
    int capacity = base::kTextCapacity;
    QString where;  // file:line, for the failure messages
};

QString readText(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

// The text of the body of a C++ string literal.
QString unescaped(const QString& body)
{
    QString out;
    for (qsizetype i = 0; i < body.size(); ++i) {
        if (body[i] != QLatin1Char('\\') || i + 1 == body.size()) {
            out += body[i];
            continue;
        }
        const QChar c = body[++i];
        out += c == QLatin1Char('n') ? QChar(QLatin1Char('\n')) : c == QLatin1Char('t') ? QChar(QLatin1Char('\t')) : c;
    }
    return out;
}

void collectSources(const QString& folder, QStringList& out)
{
    const QDir dir(folder);
    for (const QFileInfo& e : dir.entryInfoList(QDir::Dirs | QDir::Files | QDir::NoDotAndDotDot, QDir::Name)) {
        if (e.isDir()) {
            // Tests look up texts of their own; build folders hold generated copies.
            if (e.fileName() != QLatin1String("tests") && !e.fileName().startsWith(QLatin1String("build")))
                collectSources(e.filePath(), out);
        } else if (e.suffix() == QLatin1String("cpp") || e.suffix() == QLatin1String("h")) {
            out.append(e.filePath());
        }
    }
}

// Every look-up in the program's sources. Texts are looked up where a key (a
// literal of letters and digits) is followed by its English default (one or
// more literals) and, when it is not the usual one, the capacity: in calls of
// uiText() and fileStatusText(), in the tables of menu, toolbar and dialog
// texts, and in the helpers that take a key and a default. Only the files
// that look texts up or hold such tables are read: those that include
// text_lookup.h, command_tables.h, postlet_texts.h or reelix_texts.h, and the mailer's table.
QList<LookUp> scanLookUps()
{
    static const QRegularExpression textFile(
        QStringLiteral(R"re(#include\s+"(?:[\w/]*/)?(?:text_lookup|command_tables|postlet_texts|reelix_texts)\.h")re"));
    static const QRegularExpression pair(
        QStringLiteral(R"re("([A-Za-z][A-Za-z0-9]*)"\s*,\s*((?:"(?:[^"\\\n]|\\.)*"\s*)+)(?:,\s*(?:\w+::)*(k[A-Z]\w*)\b)?)re"));
    static const QRegularExpression literal(QStringLiteral(R"re("((?:[^"\\\n]|\\.)*)")re"));
    static const QRegularExpression constant(QStringLiteral(R"re(constexpr\s+int\s+(k\w+)\s*=\s*(\d+)\s*;)re"));

    QHash<QString, int> capacities{{QStringLiteral("kTextCapacity"), base::kTextCapacity},
                                   {QStringLiteral("kMessageCapacity"), base::kMessageCapacity},
                                   {QStringLiteral("kPaneTitleCapacity"), base::kPaneTitleCapacity}};
    QStringList sources;
    collectSources(kSourceFolder, sources);
    QList<QPair<QString, QString>> texts;  // relative path, text
    for (const QString& path : sources) {
        const QString text = readText(path);
        if (!text.contains(textFile) && !path.endsWith(QLatin1String("/postlet_texts.h")))
            continue;
        texts.append({QDir(kSourceFolder).relativeFilePath(path), text});
        for (auto m = constant.globalMatch(text); m.hasNext();) {
            const auto c = m.next();
            capacities.insert(c.captured(1), c.captured(2).toInt());
        }
    }

    QList<LookUp> out;
    for (const auto& [path, text] : texts) {
        for (auto m = pair.globalMatch(text); m.hasNext();) {
            const auto p = m.next();
            LookUp l;
            l.key = p.captured(1);
            if (kNotLookedUp.contains(l.key))
                continue;
            for (auto lit = literal.globalMatch(p.captured(2)); lit.hasNext();)
                l.english += unescaped(lit.next().captured(1));
            l.where = QStringLiteral("%1:%2").arg(path).arg(text.left(p.capturedStart()).count(QLatin1Char('\n')) + 1);
            const QString capacity = p.captured(3);
            l.capacity = capacity.isEmpty() ? base::kTextCapacity : capacities.value(capacity, -1);
            out.append(l);
        }
    }
    for (const QString& key : kKeysOfNames)
        out.append({key, key, base::kTextCapacity, QStringLiteral("the export dialog's tabs")});
    return out;
}

const QList<LookUp>& lookUps()
{
    static const QList<LookUp> all = scanLookUps();
    return all;
}

const LookUp* findLookUp(const QString& key, const QString& inFile = {})
{
    const auto& all = lookUps();
    const auto it = std::find_if(all.begin(), all.end(),
                                 [&](const LookUp& l) { return l.key == key && l.where.contains(inFile); });
    return it == all.end() ? nullptr : &*it;
}

struct LanguageFile {
    QString name;
    platform::IniDocument doc;
};

QList<LanguageFile> languageFiles()
{
    QList<LanguageFile> out;
    for (const QString& name : QDir(kLanguageFolder).entryList({QStringLiteral("*.ini")}, QDir::Files, QDir::Name)) {
        QFile f(kLanguageFolder + QLatin1Char('/') + name);
        if (f.open(QIODevice::ReadOnly))
            out.append({name, platform::IniDocument(platform::decodeIniText(f.readAll(), name))});
    }
    return out;
}

// What the program fills into a text: QString::arg() markers and printf fields.
QStringList placeholders(const QString& text)
{
    static const QRegularExpression marker(QStringLiteral(R"(%(?:\d{1,2}|l?[sdiuf]))"));
    QStringList out;
    for (auto m = marker.globalMatch(text); m.hasNext();)
        out.append(m.next().captured());
    out.sort();
    return out;
}

bool hasAccelerator(const QString& text)
{
    static const QRegularExpression accelerator(QStringLiteral(R"(&[^&\s])"));
    return text.contains(accelerator);
}

}  // namespace

TEST(LanguageFiles, TheSourceScanFindsEveryFormOfLookUp)
{
    ASSERT_GT(lookUps().size(), 150);

    const LookUp* call = findLookUp(QStringLiteral("CloseTip"));
    ASSERT_TRUE(call);
    EXPECT_EQ(call->english, QStringLiteral("Are you sure close?"));
    EXPECT_EQ(call->capacity, base::kMessageCapacity);
    const LookUp* status = findLookUp(QStringLiteral("PictureSaved"));
    ASSERT_TRUE(status);
    EXPECT_EQ(status->english, QStringLiteral("Picture saved: %1 in %2"));
    const LookUp* pane = findLookUp(QStringLiteral("DeviceName"), QStringLiteral("CPanes.cpp"));
    ASSERT_TRUE(pane);
    EXPECT_EQ(pane->capacity, base::kPaneTitleCapacity);
    const LookUp* quoted = findLookUp(QStringLiteral("FolderNameInvalid"));
    ASSERT_TRUE(quoted);
    EXPECT_EQ(quoted->english, QStringLiteral(R"(A folder name can not hold "/" or be "." or "..".)"));
    const LookUp* broken = findLookUp(QStringLiteral("NotCopied"));
    ASSERT_TRUE(broken);
    EXPECT_TRUE(broken->english.contains(QLatin1String(":\n%1")));

    // Table rows: the toolbar, a dialog's rows, the mailer's texts with a
    // capacity of their own.
    EXPECT_TRUE(findLookUp(QStringLiteral("ToolbarHitCamera")));
    EXPECT_TRUE(findLookUp(QStringLiteral("TipLineWidth")));
    // The clip player's texts.
    const LookUp* clip = findLookUp(QStringLiteral("ClipUnplayable"), QStringLiteral("reelix/"));
    ASSERT_TRUE(clip);
    EXPECT_EQ(clip->english, QStringLiteral("This clip cannot be played: %1"));
    EXPECT_TRUE(findLookUp(QStringLiteral("OpenClip"), QStringLiteral("reelix/")));
    const LookUp* mail = findLookUp(QStringLiteral("SendEmail"));
    ASSERT_TRUE(mail);
    EXPECT_GT(mail->capacity, 1);
    EXPECT_LT(mail->capacity, base::kTextCapacity);

    for (const LookUp& l : lookUps())
        EXPECT_GT(l.capacity, 0) << "unknown capacity at " << l.where.toStdString();
}

// Each language of the menu but English, whose texts are the defaults, ships
// its file.
TEST(LanguageFiles, EveryLanguageOfTheMenuHasItsFile)
{
    int files = 0;
    for (const base::LanguageCommand& l : base::languageCommands()) {
        if (l.mainId == 9)
            continue;
        const QString path = platform::chooseLanguageFile(kLanguageFolder, l.mainId, l.subId);
        EXPECT_TRUE(QFileInfo::exists(path)) << l.key << ": " << path.toStdString();
        ++files;
    }
    EXPECT_EQ(files, 7);
}

TEST(LanguageFiles, EveryLookedUpKeyIsInEveryFile)
{
    const QList<LanguageFile> files = languageFiles();
    ASSERT_GE(files.size(), 7);
    QStringList keys;
    for (const LookUp& l : lookUps())
        keys.append(l.key);
    keys.removeDuplicates();
    for (const LanguageFile& f : files) {
        QStringList missing;
        for (const QString& key : keys) {
            const std::optional<QString> value = f.doc.value(kSection, key);
            if (!value || value->isEmpty())
                missing.append(key);
        }
        EXPECT_TRUE(missing.isEmpty()) << f.name.toStdString() << " lacks " << missing.size() << ": "
                                       << missing.join(QLatin1Char(' ')).toStdString();
    }
}

TEST(LanguageFiles, TranslationsKeepPlaceholdersAndAccelerators)
{
    for (const LanguageFile& f : languageFiles()) {
        QStringList wrong;
        for (const LookUp& l : lookUps()) {
            const std::optional<QString> value = f.doc.value(kSection, l.key);
            if (!value)
                continue;  // told by EveryLookedUpKeyIsInEveryFile
            if (placeholders(*value) != placeholders(l.english) || hasAccelerator(*value) != hasAccelerator(l.english))
                wrong.append(QStringLiteral("%1=%2 (default \"%3\" at %4)").arg(l.key, *value, l.english, l.where));
        }
        EXPECT_TRUE(wrong.isEmpty()) << f.name.toStdString() << ":\n" << wrong.join(QLatin1Char('\n')).toStdString();
    }
}

TEST(LanguageFiles, TranslationsFitTheirCapacity)
{
    for (const LanguageFile& f : languageFiles()) {
        QStringList cut;
        for (const LookUp& l : lookUps()) {
            const std::optional<QString> value = f.doc.value(kSection, l.key);
            if (value && value->size() > l.capacity - 1)
                cut.append(QStringLiteral("%1 (%2 > %3 at %4)").arg(l.key).arg(value->size()).arg(l.capacity - 1).arg(l.where));
        }
        EXPECT_TRUE(cut.isEmpty()) << f.name.toStdString() << ":\n" << cut.join(QLatin1Char('\n')).toStdString();
    }
}

// The reader takes a value as it stands: "\n" would show as a backslash and
// an n, not as a line break.
TEST(LanguageFiles, NoTranslationHoldsAnEscape)
{
    for (const LanguageFile& f : languageFiles()) {
        for (const QString& key : f.doc.keys(kSection)) {
            const QString value = f.doc.value(kSection, key).value_or(QString());
            EXPECT_FALSE(value.contains(QLatin1Char('\\'))) << f.name.toStdString() << ": " << key.toStdString();
        }
    }
}

// Only the first line of a key counts, so a second one is silently ignored.
TEST(LanguageFiles, EveryKeyIsWrittenOnce)
{
    for (const LanguageFile& f : languageFiles()) {
        for (const QString& key : f.doc.keys(kSection)) {
            platform::IniDocument rest = f.doc;
            rest.removeKey(kSection, key);
            EXPECT_FALSE(rest.value(kSection, key)) << f.name.toStdString() << ": " << key.toStdString();
        }
    }
}
