// The main window: menus, toolbar, commands and their routing, closing.
#include "shell/ui/CDevicesDlg.h"
#include "shell/ui/CMainFrame.h"
#include "shell/ui/CPanes.h"
#include "shell/ui/CScoparaApp.h"
#include "shell/ui/CommandRouter.h"
#include "shell/ui/UserToolbars.h"

#include "base/command_ids.h"
#include "base/command_tables.h"
#include "base/registry_settings.h"
#include "shell/core/recent_files.h"

#include "files/browser/CThumbnailsFormView.h"
#include "files/browser/CThumbnailsFormViewEnlarged.h"
#include "files/browser/CThumbnailsFormViewView.h"
#include "files/core/saved_folders.h"
#include "files/ui/CFloderComboBox.h"
#include "files/ui/CPropertiesWnd.h"

#include "capture/device/latest_frame.h"
#include "capture/device/live_stream.h"
#include "capture/device/simulated_backend.h"
#include "capture/ui/CDeviceView.h"
#include "capture/ui/LiveWindows.h"
#include "capture/ui/WifiMicroscope.h"
#include "wifi/core/wifi_camera.h"

#include "measure/ui/CCalibrationDlg.h"
#include "measure/ui/CMeasurementSettingDlg.h"
#include "measure/ui/CalibrationMenu.h"

#include "platform/posted_message.h"
#include "platform/registry.h"

#include "app_run.h"
#include "sandbox.h"
#include "scripted_dialogs.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QStatusBar>
#include <QTimer>
#include <QtTest>

#include <memory>

using namespace shell;
using namespace base;

namespace {

// A view that answers a few commands, as the picture and live views will.
class FakeView : public QWidget, public CommandTarget {
public:
    QList<int> ran;
    bool lineToolOn = false;

    bool handlesCommand(int id) const override { return id == cmd::ToolLine || id == cmd::ZoomIn; }
    void updateCommand(int id, CommandState& s) const override
    {
        if (id == cmd::ToolLine) {
            s.checkable = true;
            s.checked = lineToolOn;
        }
    }
    void runCommand(int id) override
    {
        ran.append(id);
        if (id == cmd::ToolLine)
            lineToolOn = !lineToolOn;
    }
};

using Run = testing_support::AppRun;

QStringList menuTitles(QMenuBar* bar)
{
    QStringList out;
    for (QAction* a : bar->actions())
        out << a->text();
    return out;
}

}  // namespace

class MainFrameTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void hasTheMenusToolbarPanesAndStatusBar()
    {
        testing_support::Sandbox box;
        testing_support::ScriptedDialogs dialogs;
        Run run(box);
        CMainFrame& f = run.frame();
        QCOMPARE(menuTitles(f.menuBar()), (QStringList{"File", "Setting", "Window(&W)", "About"}));

        QList<int> expected;
        for (const ToolbarButton& b : mainToolbarButtons())
            expected << b.id;
        QList<int> actual;
        for (QAction* a : f.mainToolBar()->actions()) {
            if (a->isSeparator())
                actual << 0;
            else if (!a->data().isNull())
                actual << a->data().toInt();
        }
        QCOMPARE(actual, expected);
        QCOMPARE(f.mainToolBar()->actions().last()->data().isNull(), true);  // the calibration box closes the row
        QCOMPARE(f.mainToolBar()->iconSize(), QSize(21, 21));

        // Every tool has an icon of its own.
        QSet<QByteArray> seen;
        for (const ToolbarButton& b : mainToolbarButtons()) {
            if (!b.id)
                continue;
            const QImage img = run.action(b.id)->icon().pixmap(21, 21).toImage();
            QVERIFY2(!img.isNull(), b.icon);
            QByteArray bytes(reinterpret_cast<const char*>(img.constBits()), img.sizeInBytes());
            QVERIFY2(!seen.contains(bytes), b.icon);
            seen.insert(bytes);
        }
        QCOMPARE(run.action(cmd::ToolPolygon)->toolTip(), QStringLiteral("Polygon"));

        QCOMPARE(f.deviceManagerPane()->windowTitle(), QStringLiteral("Device Manager"));
        QCOMPARE(f.folderManagerPane()->windowTitle(), QStringLiteral("Folder Manager"));
        QVERIFY(f.statusBar()->isVisible());
        f.setPaneText(1, QStringLiteral("100%"));
        QCOMPARE(f.paneText(1), QStringLiteral("100%"));
    }

    void slotButtonsForTheConnectedMicroscopes()
    {
        testing_support::Sandbox box;
        testing_support::ScriptedDialogs dialogs;
        Run run(box);
        QCOMPARE(run.frame().liveWindows().connectedMicroscopes(), 3);
        QCoreApplication::sendPostedEvents();
        CDevicesDlg* slots = run.frame().deviceManagerPane()->devicesDlg();
        slots->resize(170, 600);
        for (int n = 1; n <= 5; ++n)
            QCOMPARE(slots->button(n)->isVisibleTo(slots), n <= 3);
        QCOMPARE(slots->button(1)->text(), QStringLiteral("SCOPE 1"));
        QCOMPARE(slots->button(3)->text(), QStringLiteral("MSCOPE 3"));
        QCOMPARE(slots->button(2)->geometry(), QRect(10, 10 + 160, 150, 150));  // side = width - 20
        QSignalSpy chosen(slots, &CDevicesDlg::slotChosen);
        slots->button(2)->click();
        QCOMPARE(chosen.takeFirst().at(0).toInt(), 2);
        QVERIFY(dialogs.messages.isEmpty());
        QVERIFY(run.frame().liveWindows().devices()[2].devicePath.contains(QStringLiteral("SIM3")));

        // With every microscope unplugged, the program says so and goes on.
        for (int i = 0; i < 3; ++i)
            run.microscopes.camera(i).unplug();
        QVERIFY(!run.frame().liveWindows().enumerate());
        QCOMPARE(dialogs.messages, QStringList{QStringLiteral("No Connect Microscope")});
    }

    void viewCommandsWaitForAViewThatHandlesThem()
    {
        testing_support::Sandbox box;
        testing_support::ScriptedDialogs dialogs;
        Run run(box);
        run.refresh();
        QVERIFY(!run.action(cmd::ToolLine)->isEnabled());
        QVERIFY(!run.action(cmd::Export)->isEnabled());
        QVERIFY(!run.action(cmd::WindowCascade)->isEnabled());
        QVERIFY(run.action(cmd::About)->isEnabled());

        auto* view = new FakeView;
        QMdiSubWindow* sub = run.frame().mdiArea()->addSubWindow(view);
        sub->show();
        run.frame().mdiArea()->setActiveSubWindow(sub);
        run.refresh();
        QVERIFY(run.action(cmd::ToolLine)->isEnabled());
        QVERIFY(!run.action(cmd::ToolLine)->isChecked());
        QVERIFY(!run.action(cmd::Export)->isEnabled());  // this view does not export
        QVERIFY(run.action(cmd::WindowCascade)->isEnabled());

        run.action(cmd::ToolLine)->trigger();
        run.refresh();
        QCOMPARE(view->ran, QList<int>{cmd::ToolLine});
        QVERIFY(run.action(cmd::ToolLine)->isChecked());
        QVERIFY(!run.frame().router().dispatch(cmd::Export));

        sub->close();
        QTRY_VERIFY(run.frame().mdiArea()->subWindowList().isEmpty());
        run.refresh();
        QVERIFY(!run.action(cmd::ToolLine)->isEnabled());
    }

    void folderCommandsAreOnAndThePaneFollowsItsMessages()
    {
        testing_support::Sandbox box;
        testing_support::ScriptedDialogs dialogs;
        Run run(box);
        run.refresh();
        for (int id : {cmd::NewFolder, cmd::OpenFolder, cmd::FolderProperty, cmd::LoadFolders})
            QVERIFY(run.action(id)->isEnabled());
        base::AppSettings& settings = run.app->settings();
        files::CPropertiesWnd* pane = run.frame().folderManagerPane();
        QCOMPARE(pane->folderList()->count(), 1);

        files::SavedFolders folders(settings.paths, settings.savedFolderCount);
        QCOMPARE(folders.create(settings.paths.saveRoot, QStringLiteral("Made"), QString()), files::FolderOutcome::Done);
        platform::postMessage(&run.frame(), platform::msg::RebuildFolderPane);
        QCoreApplication::sendPostedEvents(&run.frame());
        QCOMPARE(pane->folderList()->count(), 2);
        QCOMPARE(pane->folderList()->currentText(), QStringLiteral("Made"));
        platform::postMessage(&run.frame(), platform::msg::RemoveFolder, 0, 0, settings.paths.currentFolder);
        QCoreApplication::sendPostedEvents(&run.frame());
        QCOMPARE(pane->folderList()->count(), 1);

        run.action(cmd::LoadFolders)->trigger();
        QCOMPARE(dialogs.messages, QStringList{"The configuration has been changed,please restart application"});
        QCoreApplication::sendPostedEvents(&run.frame());
        QCOMPARE(pane->folderList()->count(), 2);
        QCOMPARE(pane->folderList()->currentText(), QStringLiteral("Default"));
    }

    // A snapshot shows in the folder pane's browser at once, and the mouse
    // over the live picture fills the magnifier.
    void aSnapshotAppearsInTheBrowserAndTheMagnifierFollowsTheMouse()
    {
        testing_support::Sandbox box;
        testing_support::ScriptedDialogs dialogs;
        Run run(box);
        QVERIFY(run.showFrame(QSize(1300, 900)));
        auto* browser = qobject_cast<files::CThumbnailsFormView*>(run.frame().folderManagerPane()->browser());
        QVERIFY(browser);
        QTRY_VERIFY(!browser->thumbnailList()->isBusy());
        const int before = browser->thumbnailList()->model()->rowCount();
        capture::CDeviceView* live = run.frame().openUsbSlot(1);
        QVERIFY(live && live->isConnected());
        QTRY_VERIFY(live->stream().mailbox().latest());
        live->runCommand(cmd::Camera);
        QTRY_VERIFY(!live->lastSavedPicture().isEmpty());
        QTRY_COMPARE(browser->thumbnailList()->model()->rowCount(), before + 1);

        QCOMPARE(run.frame().magnifierMode(), browser->magnifier()->level());
        QTest::mouseMove(live->viewport(), QPoint(60, 60));
        QTRY_VERIFY(!browser->magnifier()->picture().isNull());
    }

    void languageCommandRelabelsTheMenusAtOnce()
    {
        testing_support::Sandbox box;
        testing_support::ScriptedDialogs dialogs;
        testing_support::writeFile(box.programFolder() + QLatin1String("/French1252.ini"),
                                   "[TiScopara]\r\nFile=Fichier\r\nSetting=Param\xe8tres\r\nFrench=Fran\xe7"
                                   "ais\r\n"
                                   "ToolbarHitLine=Ligne\r\nReboot=Red\xe9marrez\r\n"
                                   "DeviceName=Microscopes\r\nFolderManager=Dossiers\r\n");
        Run run(box);
        run.refresh();
        QVERIFY(!run.action(cmd::LanguageFrench)->isChecked());  // nothing stored yet: the system decides

        run.action(cmd::LanguageFrench)->trigger();
        run.refresh();
        QCOMPARE(menuTitles(run.frame().menuBar()).mid(0, 2), (QStringList{"Fichier", "Paramètres"}));
        QCOMPARE(run.action(cmd::LanguageFrench)->text(), QStringLiteral("Français"));
        QCOMPARE(run.action(cmd::ToolLine)->toolTip(), QStringLiteral("Ligne"));
        // The two panes' titles change together.
        QCOMPARE(run.frame().deviceManagerPane()->windowTitle(), QStringLiteral("Microscopes"));
        QCOMPARE(run.frame().folderManagerPane()->windowTitle(), QStringLiteral("Dossiers"));
        QVERIFY(run.action(cmd::LanguageFrench)->isChecked());
        QVERIFY(!run.action(cmd::LanguageEnglish)->isChecked());
        QCOMPARE(dialogs.messages, QStringList{QStringLiteral("Redémarrez")});
        QVERIFY(run.app->settings().cleanWorkspace);
        quint32 mainId = 0, subId = 0;
        run.registry.queryDword(kConfigKey, QStringLiteral("languagemainid"), mainId);
        run.registry.queryDword(kConfigKey, QStringLiteral("languagesubid"), subId);
        QCOMPARE(mainId, 12u);
        QCOMPARE(subId, 1u);

        run.action(cmd::LanguageChineseTraditional)->trigger();
        run.refresh();
        QCOMPARE(menuTitles(run.frame().menuBar()).first(), QStringLiteral("File"));  // no Chinese950.ini: English
        QVERIFY(run.action(cmd::LanguageChineseTraditional)->isChecked());
        QVERIFY(!run.action(cmd::LanguageChineseSimplified)->isChecked());
        QVERIFY(!run.action(cmd::LanguageFrench)->isChecked());
    }

    void cancellingTheCloseKeepsEverythingRunning()
    {
        testing_support::Sandbox box;
        testing_support::ScriptedDialogs dialogs;
        Run run(box);
        auto* sub = run.frame().mdiArea()->addSubWindow(new FakeView);
        sub->show();
        dialogs.answers = {false};
        QVERIFY(!run.frame().close());
        QCOMPARE(dialogs.messages, QStringList{QStringLiteral("Are you sure close?")});
        QVERIFY(run.frame().isVisible());
        QCOMPARE(run.frame().mdiArea()->subWindowList().size(), 1);

        dialogs.answers = {true};
        QVERIFY(run.frame().close());
        QTRY_VERIFY(!run.app->mainFrame());
    }

    void pictureFormatDpiAndLookPersistAcrossARestart()
    {
        testing_support::Sandbox box;
        testing_support::ScriptedDialogs dialogs;
        {
            Run run(box);
            run.refresh();
            QVERIFY(run.action(cmd::FormatBmp)->isChecked());
            QVERIFY(run.action(cmd::Dpi96)->isChecked());
            QVERIFY(run.action(219)->isChecked());
            run.action(cmd::FormatJpg)->trigger();
            run.action(cmd::Dpi300)->trigger();
            run.action(216)->trigger();
            run.refresh();
            QVERIFY(run.action(cmd::FormatJpg)->isChecked());
            QVERIFY(!run.action(cmd::FormatBmp)->isChecked());
            QVERIFY(run.action(cmd::Dpi300)->isChecked());
            QVERIFY(!run.action(cmd::Dpi96)->isChecked());
            QVERIFY(run.action(216)->isChecked());
            QVERIFY(QApplication::palette().color(QPalette::Window).lightness() < 100);  // black look
        }
        Run again(box);
        again.refresh();
        QCOMPARE(again.app->settings().registry.g_szBmporjpg, 2u);
        QCOMPARE(again.app->settings().registry.g_szBmporjpgDPI, 300u);
        QVERIFY(again.action(cmd::FormatJpg)->isChecked());
        QVERIFY(again.action(cmd::Dpi300)->isChecked());
        QCOMPARE(again.frame().appLook(), 216);
        QVERIFY(again.action(216)->isChecked());
        again.action(219)->trigger();
    }

    void restoreSettingsAsksFirstThenResets()
    {
        testing_support::Sandbox box;
        testing_support::ScriptedDialogs dialogs;
        Run run(box);
        dialogs.answers = {false};
        run.action(cmd::RestoreSettings)->trigger();
        QVERIFY(run.registry.snapshot().keyExists(kConfigKey));
        dialogs.answers = {true};
        run.action(cmd::RestoreSettings)->trigger();
        QVERIFY(!run.registry.snapshot().keyExists(kConfigKey));
        QCOMPARE(
            dialogs.messages,
            (QStringList{"Are you sure?", "Are you sure?", "The configuration has been changed,please restart application"}));
    }

    void aRestartAfterRestoreSettingsLooksLikeTheFirstStart()
    {
        testing_support::Sandbox box;
        testing_support::ScriptedDialogs dialogs;
        {
            Run run(box);
            run.refresh();
            run.action(216)->trigger();  // the black look
            run.frame().userToolbars().create(QStringLiteral("Overlays"));
            run.frame().resize(700, 500);
            run.action(cmd::RestoreSettings)->trigger();
        }  // closed as the user would, after the restart message
        QVERIFY(!platform::Registry(box.registryFile()).snapshot().keyExists(kWorkspaceKey));
        Run again(box);
        QCOMPARE(again.frame().appLook(), 219);
        QVERIFY(again.frame().userToolbars().ids().isEmpty());
        QVERIFY(!again.frame().restoreWorkspace());  // no stored layout: the first-start one
        QVERIFY(QApplication::palette().color(QPalette::Window).lightness() > 100);
    }

    void statusBarCommandShowsAndHides()
    {
        testing_support::Sandbox box;
        testing_support::ScriptedDialogs dialogs;
        Run run(box);
        run.refresh();
        QVERIFY(run.action(cmd::ViewStatusBar)->isChecked());
        run.action(cmd::ViewStatusBar)->trigger();
        run.refresh();
        QVERIFY(!run.frame().statusBar()->isVisible());
        QVERIFY(!run.action(cmd::ViewStatusBar)->isChecked());
    }

    // "Picture saved: NAME in FOLDER" is read whole: the panes on the right
    // give way while it shows and take their width back afterwards.
    void aMessageNamingAFileAndItsFolderIsShownWhole()
    {
        testing_support::Sandbox box;
        testing_support::ScriptedDialogs dialogs;
        Run run(box);
        QVERIFY(run.showFrame(QSize(1400, 900)));
        run.frame().setPaneText(1, QStringLiteral("W 100% : H 100%"));
        run.frame().setPaneText(2, QStringLiteral("640:480"));
        QStatusBar* bar = run.frame().statusBar();
        const auto panesStart = [&] {
            int left = bar->width();
            for (int i = 1; i < 4; ++i) {
                const QWidget* pane = bar->findChild<QWidget*>(QStringLiteral("StatusPane%1").arg(i));
                if (pane->isVisible())
                    left = std::min(left, pane->geometry().left());
            }
            return left;
        };
        const int before = panesStart();

        const QString message = QStringLiteral(
            "Picture saved: 20261209_033601.bmp in /home/anna/Documents/Vellumet/SaveFile/Default");
        run.frame().showStatusMessage(message);
        QTRY_VERIFY(panesStart() > bar->fontMetrics().horizontalAdvance(message) + 10);
        QCOMPARE(run.frame().statusMessage(), message);

        bar->clearMessage();
        QTRY_COMPARE(panesStart(), before);
    }

    void calibrationBoxFollowsItsMessages()
    {
        testing_support::Sandbox box;
        testing_support::ScriptedDialogs dialogs;
        Run run(box);
        QLineEdit* calibrationBox = run.frame().calibrationNameBox();
        QVERIFY(calibrationBox->isReadOnly());
        QVERIFY(run.frame().calibrationFiles().isEmpty());

        const QString folder = run.app->settings().paths.calibrationFolder();
        testing_support::writeFile(folder + QLatin1String("/40x objective.txt"), "x");
        testing_support::writeFile(folder + QLatin1String("/10x.txt"), "x");
        testing_support::writeFile(folder + QLatin1String("/notes.doc"), "x");
        run.app->measure().calibrationName = QStringLiteral("10x.txt");
        platform::postMessage(&run.frame(), platform::msg::CalibrationListChanged);
        QCoreApplication::sendPostedEvents(&run.frame());
        QCOMPARE(run.frame().calibrationFiles(), (QStringList{"10x.txt", "40x objective.txt"}));
        QCOMPARE(calibrationBox->text(), QStringLiteral("10x"));

        platform::postMessage(&run.frame(), platform::msg::RefreshCalibrationName, 1);
        QCoreApplication::sendPostedEvents(&run.frame());
        QCOMPARE(calibrationBox->text(), QString());
        platform::postMessage(&run.frame(), platform::msg::RefreshCalibrationName, 0);
        QCoreApplication::sendPostedEvents(&run.frame());
        QCOMPARE(calibrationBox->text(), QStringLiteral("10x"));
    }

    void calibrationBoxShowsTheWholeNameOrBothEnds()
    {
        testing_support::Sandbox box;
        Run run(box);
        run.frame().show();
        QLineEdit* calibrationBox = run.frame().calibrationNameBox();
        const auto show = [&](const QString& profile) {
            run.app->measure().calibrationName = profile;
            platform::postMessage(&run.frame(), platform::msg::RefreshCalibrationName, 0);
            QCoreApplication::sendPostedEvents(&run.frame());
        };
        // Dots of its own are part of the name; only the file's ".txt" goes.
        show(QStringLiteral("x60 micrometer.txt"));
        QCOMPARE(calibrationBox->text(), QStringLiteral("x60 micrometer"));
        QCOMPARE(calibrationBox->cursorPosition(), 0);
        show(QStringLiteral("x0.5 objective"));
        QCOMPARE(calibrationBox->text(), QStringLiteral("x0.5 objective"));
        // Too long for the box: both ends stay, the whole name is the tooltip.
        const QString longName = QStringLiteral("Stage micrometer 0.01 mm at x200 with the long tube");
        show(longName + QLatin1String(".txt"));
        const QString shown = calibrationBox->text();
        QVERIFY(shown.contains(QChar(0x2026)));
        QVERIFY(shown.startsWith(QLatin1String("Stage")));
        QVERIFY(shown.endsWith(QLatin1String("tube")));
        QVERIFY(calibrationBox->fontMetrics().horizontalAdvance(shown) <= calibrationBox->contentsRect().width());
        QCOMPARE(calibrationBox->toolTip(), longName);
    }

    void picturesOpenInsideTheWorkspaceAtTheChildFrameSize()
    {
        testing_support::Sandbox box;
        Run run(box);
        QVERIFY(run.showFrame(QSize(1200, 800)));
        QImage img(3000, 2000, QImage::Format_RGB888);
        img.fill(Qt::darkGreen);
        const QString path = box.path() + QLatin1String("/large.jpg");
        QVERIFY(img.save(path, "JPEG"));
        QVERIFY(run.frame().openPicture(path));
        QMdiSubWindow* picture = run.frame().mdiArea()->activeSubWindow();
        QVERIFY(picture);
        const QRect workspace = run.frame().mdiArea()->viewport()->rect();
        QVERIFY2(workspace.contains(picture->geometry()),
                 qPrintable(QStringLiteral("%1,%2 %3x%4 in %5x%6")
                                .arg(picture->x())
                                .arg(picture->y())
                                .arg(picture->width())
                                .arg(picture->height())
                                .arg(workspace.width())
                                .arg(workspace.height())));
        // The child frame's rule: the client area less the panes and 15
        // pixels across, less the status bar and 60 down, within the workspace.
        const QSize rule = run.frame().fullScreenArea() + QSize(30 - 15, 100 - 60);
        QCOMPARE(picture->size(), rule.boundedTo(workspace.size()));
        // The next window a step further in, still inside.
        run.frame().openUsbSlot(1);
        QMdiSubWindow* live = run.frame().mdiArea()->activeSubWindow();
        QVERIFY(live->pos().x() > picture->pos().x());
        QVERIFY(workspace.contains(live->geometry()));
    }

    void aDamagedSettingsFileIsToldOnceWithItsKeptCopy()
    {
        testing_support::Sandbox box;
        {
            Run run(box);  // writes a whole settings file
        }
        QByteArray whole = testing_support::readFile(box.registryFile());
        QVERIFY(whole.size() > 100);
        testing_support::writeFile(box.registryFile(), whole.left(whole.size() / 2) + "\n[HKEY_CURRENT_USER\\broken");
        testing_support::ScriptedDialogs dialogs;
        {
            Run run(box);
            const QString kept = box.registryFile() + QLatin1String(".bad");
            QVERIFY(QFile::exists(kept));
            QCOMPARE(dialogs.messages.size(), 1);
            QVERIFY(dialogs.messages[0].contains(box.registryFile()));
            QVERIFY(dialogs.messages[0].contains(kept));
            run.refresh();
        }
        Run again(box);  // the settings are whole again: nothing to tell
        QCOMPARE(dialogs.messages.size(), 1);
    }

    void userToolbarsComeBackAtTheNextStart()
    {
        testing_support::Sandbox box;
        testing_support::ScriptedDialogs dialogs;
        {
            Run run(box);
            UserToolbars& bars = run.frame().userToolbars();
            const int id = bars.create(QStringLiteral("Overlays"));
            QCOMPARE(id, 59432);
            bars.setCommands(id, {cmd::GridLines, cmd::Crosshair});
            QCOMPARE(bars.create(QStringLiteral("Second")), 59433);
            bars.remove(59433);
        }
        Run again(box);
        UserToolbars& bars = again.frame().userToolbars();
        QCOMPARE(bars.ids(), QList<int>{59432});
        QCOMPARE(bars.name(59432), QStringLiteral("Overlays"));
        QCOMPARE(bars.commands(59432), (QList<int>{cmd::GridLines, cmd::Crosshair}));
        QList<QVariant> onBar;
        for (QAction* a : bars.toolbar(59432)->actions())
            onBar << a->data();
        QCOMPARE(onBar, (QList<QVariant>{cmd::GridLines, cmd::Crosshair, QVariant(), cmd::Customize}));
    }

    void aNewProfileShowsInTheBoxAndMenuAndSurvivesARestart()
    {
        testing_support::Sandbox box;
        testing_support::ScriptedDialogs dialogs;
        const QString settingsFolder = box.documents() + QLatin1String("/Vellumet/Setting");
        {
            Run run(box);
            measure::MeasureState& state = run.app->measure();
            QVERIFY(!state.isCalibrated());
            state.knownLinePixels = 120;
            measure::CCalibrationDlg dlg(state, settingsFolder, &run.frame());
            platform::postMessage(&dlg, platform::msg::KnownLineDrawn);
            QCoreApplication::sendPostedEvents(&dlg);
            dlg.nameEdit()->setText(QStringLiteral("20x objective"));
            dlg.lengthEdit()->setText(QStringLiteral("0.25"));
            dlg.okButton()->click();
            QCoreApplication::sendPostedEvents(&run.frame());
            QCOMPARE(run.frame().calibrationNameBox()->text(), QStringLiteral("20x objective"));
            QCOMPARE(run.frame().calibrationFiles(), QStringList{QStringLiteral("20x objective.txt")});
            std::unique_ptr<QMenu> menu(measure::createCalibrationMenu(state, settingsFolder, nullptr));
            QCOMPARE(menu->actions().last()->text(), QStringLiteral("20x objective"));
        }
        Run again(box);
        QCOMPARE(again.app->measure().calibrationName, QStringLiteral("20x objective.txt"));
        QCOMPARE(again.frame().calibrationNameBox()->text(), QStringLiteral("20x objective"));
        QVERIFY(qAbs(again.app->measure().scalePixels - 120 * 0.328767 / 0.25) < 1e-6);
    }

    void measurePropertyKeepsChangesButStoresThemOnlyOnOk()
    {
        testing_support::Sandbox box;
        testing_support::ScriptedDialogs dialogs;
        const auto changeDecimalsAnd = [](int decimals, bool ok) {
            QTimer::singleShot(0, [decimals, ok] {
                auto* dlg = qobject_cast<measure::CMeasurementSettingDlg*>(QApplication::activeModalWidget());
                QVERIFY(dlg);
                dlg->list(measure::CMeasurementSettingDlg::Decimals)->setCurrentText(QString::number(decimals));
                ok ? dlg->accept() : dlg->reject();
            });
        };
        {
            Run run(box);
            run.refresh();
            QVERIFY(run.action(cmd::MeasureProperty)->isEnabled());
            changeDecimalsAnd(5, false);
            run.action(cmd::MeasureProperty)->trigger();
            QCOMPARE(run.app->measure().decimals, 5);  // in effect for this session
        }
        {
            Run run(box);
            QCOMPARE(run.app->measure().decimals, 3);  // but not stored
            changeDecimalsAnd(4, true);
            run.action(cmd::MeasureProperty)->trigger();
        }
        Run again(box);
        QCOMPARE(again.app->measure().decimals, 4);
        QCOMPARE(again.app->measure().colour, QColor(Qt::red));
    }

    void windowArrangementTilesSideBySideAndStacked()
    {
        testing_support::Sandbox box;
        testing_support::ScriptedDialogs dialogs;
        Run run(box);
        run.frame().resize(1000, 700);
        run.frame().show();
        QList<QMdiSubWindow*> subs;
        for (int i = 0; i < 3; ++i) {
            subs << run.frame().mdiArea()->addSubWindow(new FakeView);
            subs.last()->show();
        }
        run.refresh();
        run.action(cmd::WindowTileVertical)->trigger();
        const int width = run.frame().mdiArea()->viewport()->width();
        for (QMdiSubWindow* s : subs)
            QVERIFY(qAbs(s->width() - width / 3) <= 1);
        run.action(cmd::WindowTileHorizontal)->trigger();
        for (QMdiSubWindow* s : subs)
            QCOMPARE(s->width(), width);
    }

    void slotButtonOpensOneWindowAndBringsItBack()
    {
        testing_support::Sandbox box;
        testing_support::ScriptedDialogs dialogs;
        Run run(box);
        CDevicesDlg* slots = run.slotButtons();
        slots->button(1)->click();
        slots->button(2)->click();
        slots->button(1)->click();
        QMdiArea* area = run.frame().mdiArea();
        QCOMPARE(area->subWindowList().size(), 2);
        QCOMPARE(area->activeSubWindow()->windowTitle(), QStringLiteral("MICROSCOPE 1"));
        const auto views = run.frame().liveViews();
        QCOMPARE(views.size(), 2);
        for (capture::CDeviceView* v : views)
            QVERIFY(v->isConnected());
        // The Resolution menu lists what the microscope in front offers.
        auto* resolution = run.frame().findChild<QMenu*>(QStringLiteral("ResolutionMenu"));
        QVERIFY(resolution->isEnabled());
        auto* front = qobject_cast<capture::CDeviceView*>(area->activeSubWindow()->widget());
        const capture::ResolutionEntry first = front->stream().GetResolutions()[0];
        QCOMPARE(resolution->actions().first()->text(), QStringLiteral("%1X%2").arg(first.width).arg(first.height));
        QVERIFY(resolution->actions().size() <= 12);
        QVERIFY(dialogs.messages.isEmpty());
    }

    void deviceEventsInABurstCauseOneCheckASecondAfterTheLast()
    {
        testing_support::Sandbox box;
        testing_support::ScriptedDialogs dialogs;
        Run run(box);
        CMainFrame& f = run.frame();
        capture::CDeviceView* two = f.openUsbSlot(2);
        QVERIFY(two && two->isConnected());
        QTRY_VERIFY(two->stream().latestFrame().frameArrived.load());

        QSignalSpy checks(f.liveWindows().findChild<QTimer*>(QStringLiteral("1173")), &QTimer::timeout);
        f.liveWindows().deviceEvent();
        QCOMPARE(two->stream().latestFrame().frameArrived.load(), 0);
        QVERIFY(f.liveWindows().findChild<QTimer*>(QStringLiteral("1173"))->isActive()
                && f.liveWindows().findChild<QTimer*>(QStringLiteral("1173"))->isSingleShot());
        QCOMPARE(f.liveWindows().findChild<QTimer*>(QStringLiteral("1173"))->interval(), 1000);
        QTest::qWait(300);
        const int left = f.liveWindows().findChild<QTimer*>(QStringLiteral("1173"))->remainingTime();
        f.liveWindows().deviceEvent();
        QVERIFY(f.liveWindows().findChild<QTimer*>(QStringLiteral("1173"))->remainingTime()
                > left);  // the second event started the second again
        QTRY_COMPARE_WITH_TIMEOUT(checks.size(), 1, 3000);
        QTest::qWait(1200);
        QCOMPARE(checks.size(), 1);  // one check for the burst
    }

    void unpluggedMicroscopeComesBackInItsOwnWindow()
    {
        testing_support::Sandbox box;
        testing_support::ScriptedDialogs dialogs;
        Run run(box);
        CMainFrame& f = run.frame();
        capture::CDeviceView* one = f.openUsbSlot(1);
        capture::CDeviceView* two = f.openUsbSlot(2);
        QVERIFY(one->isConnected() && two->isConnected());

        run.microscopes.unplug(1);
        QTRY_VERIFY(!two->isConnected());
        QCOMPARE(two->deviceCaption(), QStringLiteral("No Device"));
        QVERIFY(one->isConnected());

        run.microscopes.plugIn(1);
        QTRY_VERIFY_WITH_TIMEOUT(two->isConnected(), 4000);
        QVERIFY(one->isConnected());
        two->stream().latestFrame().frameArrived = 0;
        QTRY_VERIFY(two->stream().latestFrame().frameArrived.load());
        QVERIFY(dialogs.messages.isEmpty());
    }

    void unlockReopensTheWindowsThatWereStreaming()
    {
        testing_support::Sandbox box;
        testing_support::ScriptedDialogs dialogs;
        Run run(box);
        CMainFrame& f = run.frame();
        QPointer<capture::CDeviceView> one = f.openUsbSlot(1);
        QPointer<capture::CDeviceView> three = f.openUsbSlot(3);
        QTRY_VERIFY(one->stream().latestFrame().frameArrived.load() && three->stream().latestFrame().frameArrived.load());
        three->stream().Close();  // slot 3 stops receiving frames
        three->stream().latestFrame().frameArrived = 0;

        f.liveWindows().sessionUnlocked();
        QTRY_VERIFY(one.isNull());
        QTRY_COMPARE(f.liveViews().size(), 2);
        QVERIFY(!three.isNull());  // untouched
        QMdiSubWindow* reopened = f.findWindow(QStringLiteral("MICROSCOPE 1"));
        QVERIFY(reopened);
        auto* view = qobject_cast<capture::CDeviceView*>(reopened->widget());
        QVERIFY(view);
        QTRY_VERIFY(view->stream().latestFrame().frameArrived.load());
    }

    void connectWifiWithoutACameraSaysSoAndOpensNothing()
    {
        testing_support::Sandbox box;
        testing_support::ScriptedDialogs dialogs;
        // Nobody listens on the discard port of this machine.
        wifi::CameraAddress nowhere;
        nowhere.host = QStringLiteral("127.0.0.1");
        nowhere.pagePort = 9;
        wifi::WifiCamera camera(nowhere);  // outlives the main window
        Run run(box);
        CDevicesDlg* slots = run.slotButtons();
        slots->button(1)->click();
        QVERIFY(!run.frame().wifiMode());
        run.refresh();
        run.frame().wifiMicroscope().setCamera(&camera);
        QSignalSpy looked(&run.frame().wifiMicroscope(), &capture::WifiMicroscope::lookFinished);
        run.action(cmd::ConnectWifi)->trigger();
        QVERIFY(run.frame().wifiMode());
        QVERIFY(looked.wait(15000));
        QCOMPARE(dialogs.messages, QStringList{QStringLiteral("Please Connect WiFi Microscope")});
        QCOMPARE(run.frame().mdiArea()->subWindowList().size(), 1);
        slots->button(1)->click();  // back to the USB microscope
        QVERIFY(!run.frame().wifiMode());
    }

    void aPictureOpenAlreadyComesToTheTop()
    {
        testing_support::Sandbox box;
        testing_support::ScriptedDialogs dialogs;
        Run run(box);
        QImage img(64, 48, QImage::Format_RGB888);
        img.fill(Qt::darkCyan);
        const QString path = box.path() + QLatin1String("/pic.jpg");
        QVERIFY(img.save(path, "JPEG"));
        QVERIFY(run.frame().openPicture(path));
        run.frame().openUsbSlot(1);
        QCOMPARE(run.frame().mdiArea()->activeSubWindow()->windowTitle(), QStringLiteral("MICROSCOPE 1"));
        QVERIFY(run.frame().openPicture(path));
        QCOMPARE(run.frame().mdiArea()->subWindowList().size(), 2);
        QCOMPARE(run.frame().mdiArea()->activeSubWindow()->windowTitle(), QStringLiteral("pic.jpg"));
        QCOMPARE(run.frame().paneText(2), QStringLiteral("64:48"));
        const QString missing = box.path() + QLatin1String("/missing.bmp");
        QVERIFY(!run.frame().openPicture(missing));
        QCOMPARE(dialogs.messages,
                 QStringList{QStringLiteral("The picture could not be opened:\n%1\nthe file does not exist").arg(missing)});
    }

    void recentPicturesAreTheFourLastAndSurviveARestart()
    {
        testing_support::Sandbox box;
        testing_support::ScriptedDialogs dialogs;
        QStringList paths;
        for (int i = 0; i < 5; ++i) {
            QImage img(32, 24, QImage::Format_RGB888);
            img.fill(QColor(i * 40, 0, 0));
            paths << box.path() + QStringLiteral("/p%1.bmp").arg(i);
            QVERIFY(img.save(paths.last(), "BMP"));
        }
        {
            Run run(box);
            for (const QString& p : paths)
                QVERIFY(run.frame().openPicture(p));
        }
        Run run(box);
        auto* file = run.frame().findChild<QMenu*>(QStringLiteral("FileMenu"));
        QVERIFY(file);
        Q_EMIT file->aboutToShow();
        const QRegularExpression numbered(QStringLiteral("^&\\d "));
        QStringList listed;
        for (QAction* a : file->actions()) {
            if (numbered.match(a->text()).hasMatch())
                listed << a->text();
        }
        QCOMPARE(listed.size(), 4);
        QVERIFY(listed[0].startsWith(QStringLiteral("&1 ")) && listed[0].endsWith(QStringLiteral("p4.bmp")));
        QVERIFY(listed[3].endsWith(QStringLiteral("p1.bmp")));

        QFile::remove(paths[3]);
        run.refresh();
        run.action(shell::kRecentFileFirstCommand + 1)->trigger();  // p3: gone
        QCOMPARE(dialogs.messages,
                 QStringList{QStringLiteral("The picture could not be opened:\n%1\nthe file does not exist").arg(paths[3])});
        run.action(shell::kRecentFileFirstCommand)->trigger();  // p4
        QCOMPARE(run.frame().mdiArea()->activeSubWindow()->windowTitle(), QStringLiteral("p4.bmp"));
        Q_EMIT file->aboutToShow();
        int count = 0;
        bool preview = false;
        for (QAction* a : file->actions()) {
            count += numbered.match(a->text()).hasMatch();
            preview = preview || (a->data().toInt() == base::cmd::FilePrintPreview && a->isEnabled());
        }
        QCOMPARE(count, 3);
        QVERIFY(preview);  // the picture in front can be printed from the menu
    }
};

QTEST_MAIN(MainFrameTest)
#include "main_frame_test.moc"
