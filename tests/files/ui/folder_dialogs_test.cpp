// New Folder, Folder Manager, Folder Property and Load Folders, with the
// folder pane as the window they tell.
#include "files/core/saved_folders.h"
#include "files/ui/CFloderComboBox.h"
#include "files/ui/CManageFolderDlg.h"
#include "files/ui/CNewFolderDlg.h"
#include "files/ui/CPropertiesWnd.h"
#include "files/ui/CPropertyFolderDlg.h"
#include "files/ui/load_folders.h"

#include "platform/private_profile.h"

#include "folder_fixture.h"
#include "scripted_dialogs.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest>

using namespace files;
using testing_support::entries;
using testing_support::FolderSetup;
using testing_support::readFile;
using testing_support::writeFile;

namespace {

int rowOf(const CManageFolderDlg& dlg, const QString& name)
{
    for (int row = 0; row < dlg.table()->rowCount(); ++row) {
        if (dlg.table()->item(row, 0)->text() == name)
            return row;
    }
    return -1;
}

QStringList tableNames(const CManageFolderDlg& dlg)
{
    QStringList out;
    for (int row = 0; row < dlg.table()->rowCount(); ++row)
        out << dlg.table()->item(row, 0)->text();
    return out;
}

}  // namespace

class FolderDialogsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void newFolderWithANoteBecomesCurrentAndShows()
    {
        FolderSetup f;
        testing_support::ScriptedDialogs dialogs;
        CPropertiesWnd pane(f.settings);
        CNewFolderDlg dlg(f.settings, &pane);
        QCOMPARE(dlg.windowTitle(), QStringLiteral("New Folder"));
        QCOMPARE(dlg.locationEdit()->text(), f.paths().saveRoot);
        QCOMPARE(dlg.nameEdit()->text(), QStringLiteral("Default"));
        QCOMPARE(dlg.changeButton()->text(), QStringLiteral("Change"));

        dlg.nameEdit()->setText(QStringLiteral("Cells 2024"));
        dlg.noteEdit()->setPlainText(QStringLiteral("onion skin\nstain B"));
        dlg.accept();
        QVERIFY(dialogs.messages.isEmpty());
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        const QString made = f.folder(QStringLiteral("Cells 2024"));
        QVERIFY(QFileInfo(made + QLatin1String("/Picture")).isDir());
        QVERIFY(QFileInfo(made + QLatin1String("/Video")).isDir());
        QCOMPARE(readFile(made + QLatin1String("/note.txt")), QByteArray("onion skin\nstain B"));
        QCOMPARE(f.paths().currentFolder, made);
        QCOMPARE(f.listed().first(), made);
        QCOMPARE(f.settings.savedFolderCount, 2);

        QCoreApplication::sendPostedEvents(&pane);  // 1168
        QCOMPARE(entries(pane.folderList()), (QStringList{"Cells 2024", "Default"}));
        QCOMPARE(pane.folderList()->currentText(), QStringLiteral("Cells 2024"));

        // The next New Folder starts from this folder's name and note.
        CNewFolderDlg next(f.settings, &pane);
        QCOMPARE(next.nameEdit()->text(), QStringLiteral("Cells 2024"));
        QCOMPARE(next.noteEdit()->toPlainText(), QStringLiteral("onion skinstain B"));  // lines joined
    }

    void newFolderRefusesEmptyExistingAndBadNames()
    {
        FolderSetup f;
        testing_support::ScriptedDialogs dialogs;
        CPropertiesWnd pane(f.settings);
        CNewFolderDlg dlg(f.settings, &pane);
        const QByteArray list = readFile(f.paths().savePathIni());
        const QString current = f.paths().currentFolder;
        const auto tryName = [&](const QString& location, const QString& name) {
            dlg.locationEdit()->setText(location);
            dlg.nameEdit()->setText(name);
            dlg.setResult(0);
            dlg.accept();
            return dlg.result() == QDialog::Accepted;
        };
        QVERIFY(!tryName(f.paths().saveRoot, QString()));
        QVERIFY(!tryName(QString(), QStringLiteral("x")));
        QVERIFY(!tryName(f.paths().saveRoot, QStringLiteral("Default")));
        QVERIFY(!tryName(f.paths().saveRoot, QStringLiteral("..")));
        QVERIFY(!tryName(f.paths().saveRoot, QStringLiteral("../../escape")));
        QVERIFY(!tryName(f.paths().saveRoot, QStringLiteral("a/b")));
        QCOMPARE(dialogs.messages.mid(0, 3), (QStringList{"Can not empty", "Can not empty", "The Folder exist."}));
        QCOMPARE(dialogs.messages.size(), 6);
        for (const QString& m : dialogs.messages.mid(3))
            QCOMPARE(m, outcomeText(FolderOutcome::BadName));
        QCOMPARE(readFile(f.paths().savePathIni()), list);
        QCOMPARE(f.paths().currentFolder, current);
        QVERIFY(!QFileInfo::exists(f.folder(QStringLiteral("a"))));
        QVERIFY(!QFileInfo::exists(f.paths().saveRoot + QLatin1String("/escape")));
        QCoreApplication::sendPostedEvents(&pane);
        QCOMPARE(entries(pane.folderList()), QStringList{"Default"});
    }

    void changeTellsWhenTheChosenPlaceHoldsFoldersAlready()
    {
        FolderSetup f;
        testing_support::ScriptedDialogs dialogs;
        CNewFolderDlg dlg(f.settings, nullptr);
        const QString empty = f.box.path() + QLatin1String("/empty");
        QDir().mkpath(empty);
        QString answer = empty;
        dlg.setFolderChooser([&](QWidget*, const QString&) { return answer; });
        dlg.changeLocation();
        QCOMPARE(dlg.locationEdit()->text(), empty);
        QVERIFY(dialogs.messages.isEmpty());
        answer = f.paths().saveRoot;
        dlg.changeLocation();
        QCOMPARE(dlg.locationEdit()->text(), f.paths().saveRoot);
        QCOMPARE(dialogs.messages, QStringList{"The Folder exist."});
        answer.clear();  // cancelled
        dlg.changeLocation();
        QCOMPARE(dlg.locationEdit()->text(), f.paths().saveRoot);
    }

    void folderManagerListsEveryFolderInSixColumns()
    {
        FolderSetup f;
        SavedFolders folders(f.paths(), f.settings.savedFolderCount);
        QCOMPARE(folders.create(f.paths().saveRoot, QStringLiteral("Lab"), QStringLiteral("first\nsecond")), FolderOutcome::Done);
        writeFile(f.folder(QStringLiteral("Lab/Video/c.avi")), QByteArray(1024 * 1024, 'v'));
        writeFile(f.folder(QStringLiteral("Lab/Picture/p.jpg")), "p");
        CManageFolderDlg dlg(f.settings, nullptr);
        dlg.show();
        QCOMPARE(dlg.windowTitle(), QStringLiteral("Folder Manager"));
        QCOMPARE(dlg.table()->columnCount(), 6);
        QStringList headers;
        for (int c = 0; c < 6; ++c)
            headers << dlg.table()->horizontalHeaderItem(c)->text();
        QCOMPARE(headers, (QStringList{"Name", "Created", "Note", "Photo", "Video", "Location"}));
        QCOMPARE(tableNames(dlg), (QStringList{"Lab", "Default"}));
        QCOMPARE(dlg.table()->item(0, 2)->text(), QStringLiteral("firstsecond"));
        QCOMPARE(dlg.table()->item(0, 3)->text(), QStringLiteral("1/0.00MB"));
        QCOMPARE(dlg.table()->item(0, 4)->text(), QStringLiteral("1/1.00MB"));
        QCOMPARE(dlg.table()->item(0, 5)->text(), f.folder(QStringLiteral("Lab")));
        QVERIFY(dlg.table()->item(0, 1)->text().contains(QLatin1Char('/')));
        const int width = dlg.table()->columnWidth(0);
        QVERIFY(width > 20);
        for (int c = 1; c < 6; ++c)
            QCOMPARE(dlg.table()->columnWidth(c), width);
    }

    void folderManagerOpensTheChosenFolder()
    {
        FolderSetup f;
        f.makeFolder(QStringLiteral("Other"));
        SavedFolders(f.paths(), f.settings.savedFolderCount).loadFolders();
        CPropertiesWnd pane(f.settings);
        CManageFolderDlg dlg(f.settings, &pane);
        dlg.table()->selectRow(rowOf(dlg, QStringLiteral("Other")));
        dlg.accept();
        QCOMPARE(f.paths().currentFolder, f.folder(QStringLiteral("Other")));
        QCoreApplication::sendPostedEvents(&pane);
        QCOMPARE(pane.folderList()->currentText(), QStringLiteral("Other"));

        CManageFolderDlg none(f.settings, &pane);  // OK with no row only closes
        none.accept();
        QCOMPARE(none.result(), int(QDialog::Accepted));
        QCOMPARE(f.paths().currentFolder, f.folder(QStringLiteral("Other")));
    }

    void folderManagerNewRunsNewFolderAndListsIt()
    {
        FolderSetup f;
        CPropertiesWnd pane(f.settings);
        CManageFolderDlg dlg(f.settings, &pane);
        dlg.setNewFolderRunner([](CNewFolderDlg& d) {
            d.nameEdit()->setText(QStringLiteral("Fresh"));
            d.accept();
        });
        dlg.newButton()->click();
        QCOMPARE(tableNames(dlg), (QStringList{"Fresh", "Default"}));
        QCoreApplication::sendPostedEvents(&pane);
        QCOMPARE(entries(pane.folderList()), (QStringList{"Fresh", "Default"}));
    }

    void deletingTheFolderInUseOrNothingIsRefused()
    {
        FolderSetup f;
        testing_support::ScriptedDialogs dialogs;
        f.makeFolder(QStringLiteral("Spare"));
        SavedFolders(f.paths(), f.settings.savedFolderCount).loadFolders();
        const QByteArray list = readFile(f.paths().savePathIni());
        CPropertiesWnd pane(f.settings);
        CManageFolderDlg dlg(f.settings, &pane);

        dlg.deleteButton()->click();  // no row chosen
        dlg.table()->selectRow(rowOf(dlg, QStringLiteral("Default")));
        dlg.deleteButton()->click();
        QCOMPARE(dialogs.messages,
                 (QStringList{outcomeText(FolderOutcome::NothingChosen),
                              QStringLiteral("the folder can't delete because it is in using")}));
        QVERIFY(QFileInfo(f.folder(QStringLiteral("Default/Picture"))).isDir());
        QCOMPARE(readFile(f.paths().savePathIni()), list);
        QCOMPARE(f.settings.savedFolderCount, 2);
        QCoreApplication::sendPostedEvents(&pane);
        QCOMPARE(entries(pane.folderList()), (QStringList{"Default", "Spare"}));
    }

    void deleteMovesTheFolderToTheTrash()
    {
        FolderSetup f;
        testing_support::ScriptedDialogs dialogs;
        const QString spare = f.makeFolder(QStringLiteral("Spare"));
        writeFile(spare + QLatin1String("/Picture/kept.jpg"), "sample");
        SavedFolders(f.paths(), f.settings.savedFolderCount).loadFolders();
        CPropertiesWnd pane(f.settings);
        CManageFolderDlg dlg(f.settings, &pane);
        dlg.table()->selectRow(rowOf(dlg, QStringLiteral("Spare")));
        dlg.deleteButton()->click();

        QVERIFY(dialogs.messages.isEmpty());
        QVERIFY(!QFileInfo::exists(spare));
        QCOMPARE(readFile(f.trash() + QLatin1String("/files/Spare/Picture/kept.jpg")), QByteArray("sample"));
        QVERIFY(QFileInfo(f.trash() + QLatin1String("/info/Spare.trashinfo")).isFile());
        QCOMPARE(f.listed(), QStringList{f.folder(QStringLiteral("Default"))});
        QCOMPARE(f.settings.savedFolderCount, 1);
        QCOMPARE(tableNames(dlg), QStringList{"Default"});
        QCoreApplication::sendPostedEvents(&pane);  // 1169
        QCOMPARE(entries(pane.folderList()), QStringList{"Default"});
    }

    void withoutATrashTheUserIsAskedFirst()
    {
        FolderSetup f;
        testing_support::ScriptedDialogs dialogs;
        const QString spare = f.makeFolder(QStringLiteral("Spare"));
        SavedFolders(f.paths(), f.settings.savedFolderCount).loadFolders();
        CPropertiesWnd pane(f.settings);
        CManageFolderDlg dlg(f.settings, &pane);
        // A data home that is a plain file: no trash can be made there.
        const QString blocked = f.box.path() + QLatin1String("/blocked");
        writeFile(blocked, "not a folder");
        qputenv("XDG_DATA_HOME", QFile::encodeName(blocked));

        dialogs.answers = {false};
        dlg.table()->selectRow(rowOf(dlg, QStringLiteral("Spare")));
        dlg.deleteButton()->click();
        QCOMPARE(dialogs.messages.size(), 1);
        QVERIFY(dialogs.messages.first().startsWith(outcomeText(FolderOutcome::NoTrash)));
        QVERIFY(QFileInfo(spare + QLatin1String("/Video")).isDir());
        QCOMPARE(f.listed().size(), 2);
        QCoreApplication::sendPostedEvents(&pane);
        QCOMPARE(pane.folderList()->count(), 2);

        dialogs.answers = {true};
        dlg.table()->selectRow(rowOf(dlg, QStringLiteral("Spare")));
        dlg.deleteButton()->click();
        QCOMPARE(dialogs.messages.size(), 2);
        QVERIFY(!QFileInfo::exists(spare));
        QCOMPARE(f.listed(), QStringList{f.folder(QStringLiteral("Default"))});
        QCoreApplication::sendPostedEvents(&pane);
        QCOMPARE(entries(pane.folderList()), QStringList{"Default"});
    }

    void folderPropertyCountsOnlyThePictures()
    {
        FolderSetup f;
        SavedFolders folders(f.paths(), f.settings.savedFolderCount);
        QCOMPARE(folders.create(f.paths().saveRoot, QStringLiteral("Slides"), QStringLiteral("kidney")), FolderOutcome::Done);
        const QString pictures = f.folder(QStringLiteral("Slides/Picture"));
        writeFile(pictures + QLatin1String("/a.bmp"), QByteArray(512 * 1024, 'b'));
        writeFile(pictures + QLatin1String("/B.JPG"), QByteArray(512 * 1024, 'j'));
        writeFile(pictures + QLatin1String("/c.png"), QByteArray(512 * 1024, 'p'));
        writeFile(f.folder(QStringLiteral("Slides/Video/d.avi")), QByteArray(512 * 1024, 'v'));
        CPropertyFolderDlg dlg(f.paths().currentFolder);
        QCOMPARE(dlg.windowTitle(), QStringLiteral("Folder Property"));
        QCOMPARE(dlg.nameField()->text(), QStringLiteral("Slides"));
        QCOMPARE(dlg.locationField()->text(), f.folder(QStringLiteral("Slides")));
        QCOMPARE(dlg.numberField()->text(), QStringLiteral("2"));
        QCOMPARE(dlg.sizeField()->text(), QStringLiteral("1.00MB"));
        QCOMPARE(dlg.noteField()->toPlainText(), QStringLiteral("kidney"));
        QVERIFY(dlg.nameField()->isReadOnly() && dlg.noteField()->isReadOnly());
        QVERIFY(!dlg.createdField()->text().isEmpty());
    }

    void loadFoldersAddsTheFoldersFoundAndAsksForARestart()
    {
        FolderSetup f;
        testing_support::ScriptedDialogs dialogs;
        SavedFolders folders(f.paths(), f.settings.savedFolderCount);
        const QString elsewhere = f.box.path() + QLatin1String("/elsewhere");
        QCOMPARE(folders.create(elsewhere, QStringLiteral("Far"), QString()), FolderOutcome::Done);
        const QString home = f.paths().settingsHome;
        QDir().mkpath(home + QLatin1String("/SaveFile/Found/Picture"));
        QDir().mkpath(home + QLatin1String("/SaveFile/Found/Video"));
        QDir().mkpath(home + QLatin1String("/SaveFile/NoVideo/Picture"));
        CPropertiesWnd pane(f.settings);
        QCOMPARE(entries(pane.folderList()), QStringList{"Far"});  // a new root lists its own folders

        loadFolders(f.settings, &pane);
        QCOMPARE(dialogs.messages, QStringList{"The configuration has been changed,please restart application"});
        QCOMPARE(f.paths().currentFolder, home + QLatin1String("/SaveFile/Default"));
        QCOMPARE(f.listed(), (QStringList{home + QLatin1String("/SaveFile/Default"), home + QLatin1String("/SaveFile/Found")}));
        QCOMPARE(f.settings.savedFolderCount, 2);
        QCoreApplication::sendPostedEvents(&pane);
        QCOMPARE(entries(pane.folderList()), (QStringList{"Default", "Found"}));
        QCOMPARE(pane.folderList()->currentText(), QStringLiteral("Default"));
    }
};

QTEST_MAIN(FolderDialogsTest)
#include "folder_dialogs_test.moc"
