// The folder pane: the folder list, choosing a folder, its toolbar and the
// messages that rebuild the list and take a folder off it.
#include "files/core/saved_folders.h"
#include "files/ui/CFloderComboBox.h"
#include "files/ui/CPropertiesToolBar.h"
#include "files/ui/CPropertiesWnd.h"

#include "base/command_ids.h"
#include "base/image_toggles.h"
#include "platform/posted_message.h"
#include "platform/private_profile.h"

#include "folder_fixture.h"
#include "recording_opener.h"
#include "scripted_dialogs.h"

#include <QAction>
#include <QWheelEvent>
#include <QtTest>

using namespace files;
using testing_support::entries;
using testing_support::FolderSetup;

namespace {

QString selected(const CPropertiesWnd& pane)
{
    return pane.folderList()->currentText();
}

QString savedSelection(const FolderSetup& f)
{
    return platform::readProfileString(f.settings.paths.savePathIni(), QStringLiteral("DefaultSavePath"),
                                       QStringLiteral("SelectPictureVideoDir"));
}

}  // namespace

class FolderPaneTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void listsTheFoldersAndSelectsTheCurrentOne()
    {
        FolderSetup f;
        SavedFolders folders(f.paths(), f.settings.savedFolderCount);
        QCOMPARE(folders.create(f.paths().saveRoot, QStringLiteral("Cells"), QString()), FolderOutcome::Done);
        QVERIFY(folders.choose(f.folder(QStringLiteral("Default"))));
        CPropertiesWnd pane(f.settings);
        QCOMPARE(pane.objectName(), QStringLiteral("CPropertiesWnd"));
        QCOMPARE(pane.windowTitle(), QStringLiteral("Folder Manager"));
        QCOMPARE(entries(pane.folderList()), (QStringList{"Cells", "Default"}));
        QCOMPARE(selected(pane), QStringLiteral("Default"));

        QList<int> buttons;
        for (QAction* a : pane.toolBar()->actions())
            buttons << a->data().toInt();
        QCOMPARE(buttons, (QList<int>{154, 151, 32930, 32931}));
        for (QAction* a : pane.toolBar()->actions())
            QVERIFY(a->isEnabled() && !a->icon().isNull());
    }

    void choosingAFolderMakesItCurrentAndReloadsTheBrowser()
    {
        FolderSetup f;
        f.makeFolder(QStringLiteral("Second"));
        SavedFolders(f.paths(), f.settings.savedFolderCount).loadFolders();
        CPropertiesWnd pane(f.settings);
        auto* browser = new testing_support::BrowserStandIn;
        pane.setBrowser(browser);
        QCOMPARE(browser->parentWidget()->objectName(), QStringLiteral("ThumbnailBrowserArea"));
        QCOMPARE(entries(pane.folderList()), (QStringList{"Default", "Second"}));

        pane.folderList()->activated(1);  // as a click on the entry
        QCOMPARE(f.paths().currentFolder, f.folder(QStringLiteral("Second")));
        QCOMPARE(f.paths().currentPictureFolder(), f.folder(QStringLiteral("Second/Picture")));
        QCOMPARE(savedSelection(f), f.folder(QStringLiteral("Second")));
        QCoreApplication::sendPostedEvents(browser);
        QCOMPARE(browser->requests, QList<qintptr>{2});

        // The entry already current: nothing to reload.
        pane.folderList()->activated(1);
        QCoreApplication::sendPostedEvents(browser);
        QCOMPARE(browser->requests.size(), 1);
    }

    void theWheelArrowKeysAndLettersDoNotSwitchFolders()
    {
        FolderSetup f;
        f.makeFolder(QStringLiteral("Beta"));
        f.makeFolder(QStringLiteral("Cee"));
        SavedFolders(f.paths(), f.settings.savedFolderCount).loadFolders();
        CPropertiesWnd pane(f.settings);
        pane.show();
        CFloderComboBox* list = pane.folderList();
        list->setFocus();
        QCOMPARE(list->currentIndex(), 0);
        const QString current = f.paths().currentFolder;

        for (int delta : {-120, 120, -120}) {
            QWheelEvent wheel(QPointF(5, 5), list->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, delta), Qt::NoButton,
                              Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(list, &wheel);
        }
        for (Qt::Key key : {Qt::Key_Down, Qt::Key_Right, Qt::Key_End, Qt::Key_PageDown, Qt::Key_Up, Qt::Key_Left})
            QTest::keyClick(list, key);
        QTest::keyClick(list, Qt::Key_C);
        QCOMPARE(list->currentIndex(), 0);
        QCOMPARE(f.paths().currentFolder, current);
    }

    void theSortButtonCyclesTheOrderAndKeepsIt()
    {
        FolderSetup f;
        SavedFolders folders(f.paths(), f.settings.savedFolderCount);
        for (const char* name : {"img10", "img9", "abd", "Abc", "10a", "9a"})
            QCOMPARE(folders.create(f.paths().saveRoot, QLatin1String(name), QString()), FolderOutcome::Done);
        QVERIFY(folders.choose(f.folder(QStringLiteral("abd"))));
        CPropertiesWnd pane(f.settings);
        auto* browser = new testing_support::BrowserStandIn;
        pane.setBrowser(browser);
        const QStringList stored = entries(pane.folderList());
        const QStringList natural{"9a", "10a", "Abc", "abd", "Default", "img9", "img10"};
        QVERIFY(stored != natural);
        QCOMPARE(stored.size(), natural.size());

        QAction* sort = pane.toolBar()->action(base::cmd::SortFolders);
        sort->trigger();  // by creation time: all made in the same second keep their order
        QCOMPARE(f.settings.toggles.sortFolders, 1);
        sort->trigger();
        QCOMPARE(f.settings.toggles.sortFolders, 2);
        QCOMPARE(entries(pane.folderList()), natural);
        QCOMPARE(selected(pane), QStringLiteral("abd"));
        QCOMPARE(base::readImageToggles(f.paths().imageTogglesIni()).sortFolders, 2);
        QCoreApplication::sendPostedEvents(browser);
        QCOMPARE(browser->requests, (QList<qintptr>{2, 2}));

        sort->trigger();
        QCOMPARE(f.settings.toggles.sortFolders, 0);
        QCOMPARE(entries(pane.folderList()), stored);
        QCOMPARE(selected(pane), QStringLiteral("abd"));
    }

    void picturesClipsAndTheFileManager()
    {
        FolderSetup f;
        testing_support::ScriptedDialogs dialogs;
        testing_support::RecordingOpener opener;
        CPropertiesWnd pane(f.settings);
        auto* browser = new testing_support::BrowserStandIn;
        pane.setBrowser(browser);
        QCoreApplication::sendPostedEvents(browser);
        browser->requests.clear();

        pane.toolBar()->action(base::cmd::ShowVideos)->trigger();
        pane.toolBar()->action(base::cmd::ShowPictures)->trigger();
        QCoreApplication::sendPostedEvents(browser);
        QCOMPARE(browser->requests, (QList<qintptr>{1, 0}));

        pane.toolBar()->action(base::cmd::OpenFolderInFileManager)->trigger();
        QCOMPARE(opener.opened, QStringList{f.paths().currentFolder});
        QVERIFY(dialogs.messages.isEmpty());
        opener.nothingToOpenWith = true;
        pane.toolBar()->action(base::cmd::OpenFolderInFileManager)->trigger();
        QCOMPARE(dialogs.messages.size(), 1);
        QVERIFY(dialogs.messages.first().contains(f.paths().currentFolder));
    }

    void messagesRebuildTheListAndTakeAFolderOff()
    {
        FolderSetup f;
        CPropertiesWnd pane(f.settings);
        QCOMPARE(entries(pane.folderList()), QStringList{"Default"});
        SavedFolders folders(f.paths(), f.settings.savedFolderCount);
        QCOMPARE(folders.create(f.paths().saveRoot, QStringLiteral("Later"), QString()), FolderOutcome::Done);
        QCOMPARE(entries(pane.folderList()), QStringList{"Default"});  // until told

        platform::postMessage(&pane, platform::msg::RebuildFolderPane);
        QCoreApplication::sendPostedEvents(&pane);
        QCOMPARE(entries(pane.folderList()), (QStringList{"Later", "Default"}));
        QCOMPARE(selected(pane), QStringLiteral("Later"));

        // Two folders whose names differ only in case are two folders here.
        f.makeFolder(QStringLiteral("default"));
        QVERIFY(folders.loadFolders() == FolderOutcome::Done);
        platform::postMessage(&pane, platform::msg::RebuildFolderPane);
        QCoreApplication::sendPostedEvents(&pane);
        QCOMPARE(pane.folders().size(), 3);
        platform::postMessage(&pane, platform::msg::RemoveFolder, 0, 0, f.folder(QStringLiteral("default")));
        QCoreApplication::sendPostedEvents(&pane);
        QCOMPARE(entries(pane.folderList()), (QStringList{"Default", "Later"}));
        QCOMPARE(pane.folders().size(), 2);
        QCOMPARE(pane.folders().at(1).location, f.folder(QStringLiteral("Later")));
    }

    void aFolderListCutShortOrNamingMissingFolders()
    {
        FolderSetup f;
        SavedFolders folders(f.paths(), f.settings.savedFolderCount);
        for (const char* name : {"One", "Two", "Three"})
            QCOMPARE(folders.create(f.paths().saveRoot, QLatin1String(name), QString()), FolderOutcome::Done);
        platform::writeProfileString(f.paths().savePathIni(), QStringLiteral("SavePath"), QStringLiteral("SaveFile9"),
                                     QStringLiteral("/no/such/folder"));
        QVERIFY(QDir(f.folder(QStringLiteral("Two"))).removeRecursively());
        f.settings.savedFolderCount = 6;
        CPropertiesWnd pane(f.settings);
        QCOMPARE(entries(pane.folderList()), (QStringList{"Three", "Default", "One"}));

        // The file cut short in the middle of the second entry's path.
        const QByteArray whole = testing_support::readFile(f.paths().savePathIni());
        const qsizetype second = whole.indexOf("SaveFile2=");
        QVERIFY(second > 0);
        testing_support::writeFile(f.paths().savePathIni(), whole.left(whole.indexOf('\n', second) - 3));
        pane.rebuild();
        QCOMPARE(entries(pane.folderList()), QStringList{"Three"});
        QCOMPARE(selected(pane), QStringLiteral("Three"));

        // The next new folder writes the whole list again.
        QCOMPARE(folders.create(f.paths().saveRoot, QStringLiteral("Four"), QString()), FolderOutcome::Done);
        pane.rebuild();
        QCOMPARE(entries(pane.folderList()), (QStringList{"Four", "Default", "One", "Three"}));
    }
};

QTEST_MAIN(FolderPaneTest)
#include "folder_pane_test.moc"
