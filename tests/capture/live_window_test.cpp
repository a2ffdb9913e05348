// The simulated microscope streaming into a window at every size it offers.
#include "capture/device/capture_device.h"
#include "capture/device/simulated_backend.h"
#include "capture/ui/LiveFrameWidget.h"

#include <QtTest>

using namespace capture;

class LiveWindowTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void streamsAtEveryResolutionWithOverlays()
    {
        SimulatedBackend backend(1, SimulatedCamera::Model::Model1, 30);
        CaptureBackend* previous = setCaptureBackend(&backend);
        DeviceList scratch, live;
        QVERIFY(enumerateDevices(backend.enumerate(), scratch, live));
        CCaptureDevice device(3);
        QVERIFY(device.Open(live[0]));
        QVERIFY(device.Build(2, QString()));
        LiveViewSettings view;
        view.overlay.mode = OverlayGrid;
        view.overlay.spacing = 40;
        view.overlay.label = QStringLiteral("0.05mm");
        device.setViewSettings(view);
        QVERIFY(device.Run());
        LiveFrameWidget window(device);
        window.resize(1280, 1024);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        const ResolutionTable table = device.GetResolutions();
        for (size_t i = 0; i < countResolutions(table); ++i) {
            QVERIFY(device.SetResolution(table[i].width, table[i].height));
            const int before = window.framesShown();
            QTRY_VERIFY_WITH_TIMEOUT(window.framesShown() >= before + 2, 5000);
            const QImage* frame = device.mailbox().latest();
            QVERIFY(frame);
            QCOMPARE(frame->size(), QSize(table[i].width, table[i].height));
            QCOMPARE(QColor(frame->pixel(5, 40)), QColor(Qt::red));  // the first grid line
        }
        device.Close();
        setCaptureBackend(previous);
    }
};

QTEST_MAIN(LiveWindowTest)
#include "live_window_test.moc"
