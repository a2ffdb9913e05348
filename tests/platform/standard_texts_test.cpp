// Qt's own texts follow the language of the run.
#include "platform/standard_texts.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QPushButton>
#include <QtTest>

namespace {

QString cancelText()
{
    QDialogButtonBox box(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    return box.button(QDialogButtonBox::Cancel)->text();
}

bool qtTranslationInstalled(const char* name)
{
    return QFileInfo::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) + QLatin1String("/qtbase_") + QLatin1String(name)
                             + QLatin1String(".qm"));
}

}  // namespace

class StandardTextsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void buttonsSpeakTheLanguageOfTheRun_data()
    {
        QTest::addColumn<quint32>("mainId");
        QTest::addColumn<quint32>("subId");
        QTest::addColumn<QString>("qmName");
        QTest::addColumn<QString>("cancel");
        QTest::newRow("German") << 7u << 1u << QStringLiteral("de") << QStringLiteral("Abbrechen");
        QTest::newRow("Spanish") << 10u << 1u << QStringLiteral("es") << QStringLiteral("Cancelar");
        QTest::newRow("Japanese") << 17u << 1u << QStringLiteral("ja") << QStringLiteral("キャンセル");
        QTest::newRow("Chinese (TW)") << 4u << 1u << QStringLiteral("zh_TW") << QStringLiteral("取消");
    }
    void buttonsSpeakTheLanguageOfTheRun()
    {
        QFETCH(quint32, mainId);
        QFETCH(quint32, subId);
        QFETCH(QString, qmName);
        QFETCH(QString, cancel);
        if (!qtTranslationInstalled(qmName.toLatin1().constData()))
            QSKIP("Qt's translations (qt6-translations-l10n) are not installed");
        {
            const auto texts = platform::installStandardTexts(mainId, subId);
            QVERIFY(texts);
            QCOMPARE(cancelText().remove(QLatin1Char('&')), cancel);
        }
        // Gone with its translator.
        QCOMPARE(cancelText().remove(QLatin1Char('&')), QStringLiteral("Cancel"));
    }

    void englishAndUnknownLanguagesKeepQtsOwnTexts()
    {
        QVERIFY(!platform::installStandardTexts(9, 1));
        QVERIFY(!platform::installStandardTexts(99, 0));
        QCOMPARE(cancelText().remove(QLatin1Char('&')), QStringLiteral("Cancel"));
    }
};

QTEST_MAIN(StandardTextsTest)
#include "standard_texts_test.moc"
