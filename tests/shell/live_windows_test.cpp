// The live and picture windows in the main window: which microscope a slot
// shows when cameras come and go, what activation refills, what the stored
// overlay and tool start a window with, and pictures named on the command line.
#include "app_run.h"
#include "scripted_dialogs.h"

#include "base/command_ids.h"
#include "base/image_toggles.h"
#include "base/registry_settings.h"

#include "capture/core/live_tools.h"
#include "capture/device/latest_frame.h"
#include "capture/device/live_stream.h"
#include "capture/ui/CDeviceView.h"
#include "capture/ui/LiveWindows.h"

#include "picture/ui/CScoparaView.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPushButton>
#include <QtTest>

#include <algorithm>
#include <map>

using namespace shell;
using namespace base;
using testing_support::AppRun;

namespace {

// Two microscopes of different models: slot 1's offers up to 1280 x 1024,
// slot 2's up to 2592 x 1944.
class TwoModels : public capture::CaptureBackend {
public:
    capture::SimulatedBackend common{1};
    capture::SimulatedBackend large{2, capture::SimulatedCamera::Model::FiveMegapixel};

    const char* name() const override { return "two models"; }
    std::vector<capture::FoundDevice> enumerate() override { return {common.enumerate().at(0), large.enumerate().at(1)}; }
    std::unique_ptr<capture::CaptureSource> open(const QString& path) override
    {
        return path.contains(QLatin1String("SIM1")) ? common.open(path) : large.open(path);
    }
};

// Three microscopes as a real system lists them: the order may change from
// one look to the next, and a microscope plugged in again may get another
// device node.
class ShufflingCameras : public capture::CaptureBackend {
public:
    capture::SimulatedBackend cameras{3};
    bool reversed = false;
    std::map<int, QString> node;  // camera index -> its device node now

    const char* name() const override { return "shuffling"; }
    QString pathOf(int index)
    {
        const QString path = cameras.camera(index).devicePath();
        const auto renamed = node.find(index);
        return renamed == node.end() ? path : path.section(QLatin1Char('#'), 0, -2) + QLatin1Char('#') + renamed->second;
    }
    std::vector<capture::FoundDevice> enumerate() override
    {
        std::vector<capture::FoundDevice> found;
        for (int i = 0; i < cameras.count(); ++i) {
            if (cameras.camera(i).plugged())
                found.push_back({pathOf(i), cameras.camera(i).friendlyName()});
        }
        if (reversed)
            std::reverse(found.begin(), found.end());
        return found;
    }
    std::unique_ptr<capture::CaptureSource> open(const QString& path) override
    {
        for (int i = 0; i < cameras.count(); ++i) {
            if (pathOf(i) == path)
                return cameras.open(cameras.camera(i).devicePath());
        }
        return nullptr;
    }
};

capture::CDeviceView* liveWindow(CMainFrame& f, int slot)
{
    QMdiSubWindow* w = f.findWindow(QStringLiteral("MICROSCOPE %1").arg(slot));
    return w ? qobject_cast<capture::CDeviceView*>(w->widget()) : nullptr;
}

void activate(CMainFrame& f, QWidget* view)
{
    f.bringToFront(view);
    QCOMPARE(f.mdiArea()->activeSubWindow()->widget(), view);
}

QStringList menuTexts(const QMenu* menu)
{
    QStringList texts;
    for (const QAction* a : menu->actions())
        texts << a->text();
    return texts;
}

// The Resolution menu's items for a microscope: the sizes among the first
// twelve entries of its table.
QStringList offeredSizes(const capture::CDeviceView* view)
{
    const capture::ResolutionTable table = view->stream().GetResolutions();
    QStringList sizes;
    for (size_t i = 0; i < table.size() && i < 12; ++i) {
        if (table[i].width > 0 && table[i].height > 0)
            sizes << QStringLiteral("%1X%2").arg(table[i].width).arg(table[i].height);
    }
    return sizes;
}

QSize sizeOf(const QAction* item)
{
    const QStringList wh = item->text().split(QLatin1Char('X'));
    return wh.size() == 2 ? QSize(wh[0].toInt(), wh[1].toInt()) : QSize();
}

}  // namespace

class LiveWindowsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void switchingBackRefillsTheMenuAndPaneFromTheWindowInFront()
    {
        testing_support::Sandbox box;
        testing_support::ScriptedDialogs dialogs;
        TwoModels cameras;
        AppRun run(box, &cameras);
        CMainFrame& f = run.frame();
        capture::CDeviceView* a = f.openUsbSlot(1);
        capture::CDeviceView* b = f.openUsbSlot(2);
        QVERIFY(a && a->isConnected() && b && b->isConnected());
        auto* menu = f.findChild<QMenu*>(QStringLiteral("ResolutionMenu"));
        QCOMPARE(menuTexts(menu), offeredSizes(b));
        QVERIFY(offeredSizes(a) != offeredSizes(b));

        // B takes the last size it offers, then A comes to the top again.
        run.refresh();
        const QSize bSize = sizeOf(menu->actions().last());
        menu->actions().last()->trigger();
        QCoreApplication::sendPostedEvents();
        QCOMPARE(b->frameSize(), bSize);
        QVERIFY(bSize != a->frameSize());
        activate(f, a);
        QCOMPARE(menuTexts(menu), offeredSizes(a));
        QCOMPARE(f.paneText(2), QStringLiteral("%1:%2").arg(a->frameSize().width()).arg(a->frameSize().height()));

        // The last item now is A's own last size, and A takes it.
        run.refresh();
        const QSize aSize = sizeOf(menu->actions().last());
        QVERIFY(aSize != bSize);
        menu->actions().last()->trigger();
        QCoreApplication::sendPostedEvents();
        QCOMPARE(a->frameSize(), aSize);
        QCOMPARE(f.paneText(2), QStringLiteral("%1:%2").arg(aSize.width()).arg(aSize.height()));
        QCOMPARE(b->frameSize(), bSize);

        // A picture in between counts as a switch too.
        QImage img(64, 48, QImage::Format_RGB888);
        img.fill(Qt::darkCyan);
        const QString path = box.path() + QLatin1String("/pic.bmp");
        QVERIFY(img.save(path, "BMP"));
        QVERIFY(f.openPicture(path));
        QCOMPARE(f.paneText(2), QStringLiteral("64:48"));
        activate(f, a);
        QCOMPARE(f.paneText(2), QStringLiteral("%1:%2").arg(aSize.width()).arg(aSize.height()));
        QVERIFY(dialogs.messages.isEmpty());
    }

    void aSlotButtonNeverOpensAMicroscopeAnotherWindowShows()
    {
        testing_support::Sandbox box;
        testing_support::ScriptedDialogs dialogs;
        ShufflingCameras cameras;
        AppRun run(box, &cameras);
        CMainFrame& f = run.frame();
        capture::CDeviceView* two = f.openUsbSlot(2);
        QVERIFY(two && f.liveWindows().devicePathOf(two) == cameras.pathOf(1));

        cameras.cameras.camera(0).unplug();
        f.liveWindows().checkDevices();
        CDevicesDlg* slots = run.slotButtons();
        QVERIFY(!slots->button(1)->isVisibleTo(slots));
        QVERIFY(slots->button(2)->isVisibleTo(slots));
        QVERIFY(slots->button(3)->isVisibleTo(slots));  // the third microscope stays reachable
        f.slotButtonClicked(1);
        capture::CDeviceView* one = liveWindow(f, 1);
        QVERIFY(one);
        QVERIFY(!one->isConnected());  // its microscope is out: "No Device"
        QCOMPARE(f.liveWindows().devicePathOf(two), cameras.pathOf(1));

        cameras.cameras.camera(0).plugIn();
        f.liveWindows().checkDevices();
        QVERIFY(one->isConnected());
        QCOMPARE(f.liveWindows().devicePathOf(one), cameras.pathOf(0));
        QCOMPARE(f.liveWindows().devicePathOf(two), cameras.pathOf(1));
        QVERIFY(run.slotButtons()->button(1)->isVisibleTo(slots));
    }

    // The property dialog's device list: a window takes another microscope
    // by trading slots with it, unless another window shows that one.
    void aWindowSwitchesToAMicroscopeNoOtherWindowShows()
    {
        testing_support::Sandbox box;
        testing_support::ScriptedDialogs dialogs;
        ShufflingCameras cameras;
        AppRun run(box, &cameras);
        CMainFrame& f = run.frame();
        capture::CDeviceView* one = f.openUsbSlot(1);
        const std::vector<capture::CameraChoice> choices = one->cameraChoices();
        QCOMPARE(choices.size(), size_t(3));
        QVERIFY(choices[0].current && !choices[1].current);

        QVERIFY(one->switchCamera(cameras.pathOf(2)));
        QVERIFY(one->isConnected());
        QCOMPARE(f.liveWindows().devicePathOf(one), cameras.pathOf(2));
        QCOMPARE(f.liveWindows().devices()[2].devicePath, cameras.pathOf(0));  // slot 3 took slot 1's
        capture::CDeviceView* three = f.openUsbSlot(3);
        QCOMPARE(f.liveWindows().devicePathOf(three), cameras.pathOf(0));

        QVERIFY(!one->switchCamera(cameras.pathOf(0)));
        QCOMPARE(dialogs.messages.value(0), QStringLiteral("This microscope is shown in MICROSCOPE 3."));
        QCOMPARE(f.liveWindows().devicePathOf(one), cameras.pathOf(2));
    }

    // Behind a maximised sibling, or minimised, a live window composes no
    // frame but keeps taking them; back in sight it shows the next at once.
    void aLiveWindowNobodySeesKeepsFramesButComposesNone()
    {
        testing_support::Sandbox box;
        testing_support::ScriptedDialogs dialogs;
        AppRun run(box);
        QVERIFY(run.showFrame(QSize(1200, 900)));
        CMainFrame& f = run.frame();
        capture::CDeviceView* one = f.openUsbSlot(1);
        capture::CDeviceView* two = f.openUsbSlot(2);
        QTRY_VERIFY(one->stream().isShown() && two->stream().isShown());

        auto* frameOfTwo = qobject_cast<QMdiSubWindow*>(two->parentWidget());
        frameOfTwo->showMaximized();
        QTRY_VERIFY(!one->stream().isShown());
        QVERIFY(two->stream().isShown());
        one->stream().latestFrame().frameArrived = 0;
        QTRY_VERIFY(one->stream().latestFrame().frameArrived.load());  // still taken, for stills and clips

        frameOfTwo->showNormal();
        QTRY_VERIFY(one->stream().isShown());
        qobject_cast<QMdiSubWindow*>(one->parentWidget())->showMinimized();
        QTRY_VERIFY(!one->stream().isShown());
    }

    void unlockReopensEachWindowOnItsOwnMicroscope()
    {
        testing_support::Sandbox box;
        testing_support::ScriptedDialogs dialogs;
        ShufflingCameras cameras;
        AppRun run(box, &cameras);
        CMainFrame& f = run.frame();
        QPointer<capture::CDeviceView> two = f.openUsbSlot(2);
        QPointer<capture::CDeviceView> three = f.openUsbSlot(3);
        QTRY_VERIFY(two->stream().latestFrame().frameArrived.load() && three->stream().latestFrame().frameArrived.load());
        cameras.cameras.camera(0).unplug();
        f.liveWindows().checkDevices();

        f.liveWindows().sessionUnlocked();
        QTRY_VERIFY(two.isNull() && three.isNull());
        QTRY_COMPARE(f.liveViews().size(), 2);
        QCOMPARE(f.liveWindows().devicePathOf(liveWindow(f, 2)), cameras.pathOf(1));
        QCOMPARE(f.liveWindows().devicePathOf(liveWindow(f, 3)), cameras.pathOf(2));
        QVERIFY(liveWindow(f, 2)->isConnected() && liveWindow(f, 3)->isConnected());
    }

    void aReplugedMicroscopeComesBackToItsOwnSlotWhateverTheOrder()
    {
        testing_support::Sandbox box;
        testing_support::ScriptedDialogs dialogs;
        ShufflingCameras cameras;
        AppRun run(box, &cameras);
        CMainFrame& f = run.frame();
        capture::CDeviceView* one = f.openUsbSlot(1);
        QVERIFY(one && one->isConnected());

        cameras.cameras.camera(0).unplug();
        f.liveWindows().checkDevices();
        QVERIFY(!one->isConnected());
        // Back on another device node, and now listed last.
        cameras.node[0] = QStringLiteral("/dev/video9");
        cameras.reversed = true;
        cameras.cameras.camera(0).plugIn();
        f.liveWindows().checkDevices();
        QCOMPARE(run.frame().liveWindows().devices()[0].devicePath, cameras.pathOf(0));
        QVERIFY(cameras.pathOf(0).endsWith(QLatin1String("#/dev/video9")));
        QCOMPARE(run.frame().liveWindows().devices()[1].devicePath, cameras.pathOf(1));
        QCOMPARE(run.frame().liveWindows().devices()[2].devicePath, cameras.pathOf(2));
        QVERIFY(one->isConnected());
        QCOMPARE(f.liveWindows().devicePathOf(one), cameras.pathOf(0));
        capture::CDeviceView* three = f.openUsbSlot(3);
        QCOMPARE(f.liveWindows().devicePathOf(three), cameras.pathOf(2));
    }

    void theStoredCrosshairAndToolStartNewWindows()
    {
        testing_support::Sandbox box;
        testing_support::ScriptedDialogs dialogs;
        QImage img(64, 48, QImage::Format_RGB888);
        img.fill(Qt::darkCyan);
        const QString path = box.path() + QLatin1String("/pic.jpg");
        QVERIFY(img.save(path, "JPEG"));
        {
            AppRun run(box);
            capture::CDeviceView* live = run.frame().openUsbSlot(1);
            QCOMPARE(live->overlay().mode, int(measure::OverlayNone));
            QCOMPARE(live->document().toolCode(), 0);
            run.refresh();
            run.action(cmd::Crosshair)->trigger();
            QCOMPARE(live->document().toolCode(), int(capture::ToolCodeCrosshair));
            const QString toggles = run.app->settings().paths.imageTogglesIni();
            QCOMPARE(readImageToggles(toggles).featureSelected, int(capture::ToolCodeCrosshair));
            QCOMPARE(readCrosshair(run.registry), 1u);

            run.action(cmd::Negative)->trigger();
            QCOMPARE(readImageToggles(toggles).featureSelected, int(capture::ToolCodeNegative));
            run.action(cmd::Negative)->trigger();
            QCOMPARE(readImageToggles(toggles).featureSelected, 0);
            run.action(cmd::Crosshair)->trigger();
            QCOMPARE(readImageToggles(toggles).featureSelected, int(capture::ToolCodeCrosshair));
        }
        AppRun again(box);
        capture::CDeviceView* live = again.frame().openUsbSlot(1);
        QCOMPARE(live->overlay().mode, int(measure::OverlayCrosshair));
        QCOMPARE(live->document().toolCode(), int(capture::ToolCodeCrosshair));
        picture::CScoparaView* picture = again.frame().openPicture(path);
        QVERIFY(picture);
        QCOMPARE(picture->overlay().mode, int(measure::OverlayCrosshair));

        // Turned off, the next windows start without it.
        again.refresh();
        again.frame().bringToFront(live);
        again.refresh();
        again.action(cmd::Crosshair)->trigger();
        QCOMPARE(readCrosshair(again.registry), 0u);
        QCOMPARE(again.frame().openUsbSlot(2)->overlay().mode, int(measure::OverlayNone));
    }

    void picturesNamedOnTheCommandLineOpen()
    {
        testing_support::Sandbox box;
        testing_support::ScriptedDialogs dialogs;
        QImage img(40, 30, QImage::Format_RGB888);
        img.fill(Qt::darkGreen);
        const QString jpeg = box.path() + QLatin1String("/slide.jpg");
        const QString bmp = box.path() + QLatin1String("/wing.bmp");
        QVERIFY(img.save(jpeg, "JPEG"));
        QVERIFY(img.save(bmp, "BMP"));
        const QString missing = box.path() + QLatin1String("/gone.jpg");
        AppRun run(box, nullptr, {jpeg, missing, bmp});
        QMdiArea* area = run.frame().mdiArea();
        QCOMPARE(area->subWindowList().size(), 2);
        QCOMPARE(area->subWindowList().at(0)->windowTitle(), QStringLiteral("slide.jpg"));
        QCOMPARE(area->activeSubWindow()->windowTitle(), QStringLiteral("wing.bmp"));
        QCOMPARE(dialogs.messages.size(), 1);
        QVERIFY2(dialogs.messages.first().contains(missing), qPrintable(dialogs.messages.first()));
    }
};

QTEST_MAIN(LiveWindowsTest)
#include "live_windows_test.moc"
