// The WiFi microscope's window end to end, against the simulated WiFi
// microscope on loopback: looking for it, streaming, stills, clips, the
// camera switched off and on, a new size, and its still button.
#include "capture/ui/WifiMicroscope.h"
#include "wifi/core/wifi_camera.h"
#include "wifi/sim/simulated_wifi_camera.h"

#include "capture/device/latest_frame.h"
#include "capture/device/live_stream.h"
#include "capture/ui/CDeviceView.h"
#include "capture/ui/CSavePropertyDlg.h"
#include "capture/ui/CVideoSettingDlg.h"

#include "base/command_ids.h"
#include "base/command_target.h"
#include "platform/known_folders.h"
#include "platform/private_profile.h"

#include "live_view_helpers.h"
#include "scripted_dialogs.h"
#include "window_on_thread.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSlider>
#include <QtTest>

#include <opencv2/videoio.hpp>

#include <linux/videodev2.h>

using namespace wifi;
using capture::WifiMicroscope;

class WifiWindowTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_box = std::make_unique<testing_support::Sandbox>();
        m_host = std::make_unique<testing_support::FakeHost>(m_box->path());
        SimulatedWifiOptions options;
        options.settleMs = 300;
        options.fps = 15;
        m_camera = std::make_unique<SimulatedWifiCamera>(options);
        QVERIFY(m_camera->start());
        CameraAddress address;
        address.host = QStringLiteral("127.0.0.1");
        address.pagePort = m_camera->pagePort();
        address.streamPort = m_camera->streamPort();
        m_wifiCamera = std::make_unique<WifiCamera>(address);
        m_wifi = std::make_unique<WifiMicroscope>(*m_host, m_wifiCamera.get());
        connect(m_wifi.get(), &WifiMicroscope::windowMade, this, [this](capture::CDeviceView* view) {
            m_view.reset(view);
            view->resize(800, 600);
            view->show();
        });
    }
    void cleanup()
    {
        m_view.reset();
        m_wifi.reset();
        m_wifiCamera.reset();
        m_camera.reset();
        m_host.reset();
        m_box.reset();
    }

    void aCameraNobodyServesIsToldOfAndOpensNothing()
    {
        testing_support::ScriptedDialogs dialogs;
        m_camera->pause();
        QSignalSpy looked(m_wifi.get(), &WifiMicroscope::lookFinished);
        m_wifi->connectCamera();
        QVERIFY(looked.wait(15000));
        QCOMPARE(looked.at(0).at(0).toBool(), false);
        QVERIFY(!m_view);
        QCOMPARE(dialogs.messages.value(0), QStringLiteral("Please Connect WiFi Microscope"));
        // Where it was looked for, and why it was not found, stay in the status bar.
        QVERIFY2(m_host->statusMessages.last().startsWith(QStringLiteral("No WiFi microscope answered at 127.0.0.1: "))
                     && m_host->statusMessages.last().size() > 45,
                 qPrintable(m_host->statusMessages.last()));
    }

    void theWindowStreamsSnapsRecordsAndComesBack()
    {
        testing_support::ScriptedDialogs dialogs;
        QVERIFY(connectCamera());
        capture::CDeviceView& view = *m_view;
        QCOMPARE(view.windowTitle(), QStringLiteral("MICROSCOPE WIFI"));
        QCOMPARE(view.frameSize(), QSize(1280, 720));
        QTRY_VERIFY_WITH_TIMEOUT(view.stream().mailbox().latest(), 10000);
        // The Resolution menu lists the camera's modes as it names them, up to 1280 x 1024.
        view.activated();
        QCOMPARE(m_host->resolutions, (QStringList{QStringLiteral("640,480"), QStringLiteral("1280,720")}));
        base::CommandState second;
        view.updateCommand(base::cmd::kResolutionCommands[1], second);
        QVERIFY(second.enabled && second.checked);

        // A still of the camera's own picture.
        const QString pictures = m_host->s.paths.currentPictureFolder();
        view.snapshotRequest();
        QTRY_COMPARE_WITH_TIMEOUT(testing_support::filesIn(pictures).size(), qsizetype(1), 10000);

        // A clip, paced as the USB windows' are, that another reader plays.
        testing_support::answerRecordDialog(QStringLiteral("2"));
        view.record();
        const QString clip = view.clipPath();
        QVERIFY(!clip.isEmpty());
        QTimer ticks;
        connect(&ticks, &QTimer::timeout, &view, &capture::CDeviceView::pacingTick);
        connect(&ticks, &QTimer::timeout, &view, [&view, n = 0]() mutable {
            if (++n % 5 == 0)
                view.recordingTick();
        });
        ticks.start(200);
        QTRY_VERIFY_WITH_TIMEOUT(!view.isRecording() && !view.stream().isRecording(), 20000);
        ticks.stop();
        // OpenCV and ffprobe read the same frames at the camera's size.
        const int frames = testing_support::framesIn(clip);
        QVERIFY(frames >= 3);
        QProcess probe;
        probe.start(QStringLiteral("ffprobe"),
                    {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-count_packets"),
                     QStringLiteral("-show_entries"), QStringLiteral("stream=width,height,nb_read_packets"),
                     QStringLiteral("-of"), QStringLiteral("csv=p=0"), clip});
        QVERIFY2(probe.waitForFinished(30000) && probe.exitCode() == 0, probe.readAllStandardError().constData());
        QCOMPARE(QString::fromUtf8(probe.readAllStandardOutput()).trimmed(), QStringLiteral("1280,720,%1").arg(frames));

        // Switched off: the window says it is reaching the camera again, and
        // the pictures come back when the camera does.
        QVERIFY(dialogs.messages.isEmpty());
        const qsizetype stills = testing_support::filesIn(pictures).size();
        m_camera->pause();
        QTRY_VERIFY_WITH_TIMEOUT(view.stream().isReconnecting(), 15000);
        // A still asked for meanwhile is refused, not taken when the camera is back.
        view.snapshotRequest();
        QCOMPARE(dialogs.messages, QStringList{QStringLiteral("Please Connect WiFi Microscope")});
        QVERIFY(!m_wifi->snapshotProgramWantsPicture());
        // A command the camera cannot take is told of.
        view.stream().setControl(V4L2_CID_BRIGHTNESS, 50);
        QTRY_VERIFY_WITH_TIMEOUT(dialogs.messages.contains(QStringLiteral("set format error")), 10000);
        m_camera->resume();
        view.stream().latestFrame().frameArrived = 0;
        QTRY_VERIFY_WITH_TIMEOUT(view.stream().latestFrame().frameArrived && !view.stream().isReconnecting(), 30000);
        QTest::qWait(300);
        QCOMPARE(testing_support::filesIn(pictures).size(), stills);
    }

    void aNewSizeIsAskedOfTheCamera()
    {
        QVERIFY(connectCamera());
        capture::CDeviceView& view = *m_view;
        QTRY_VERIFY_WITH_TIMEOUT(view.stream().mailbox().latest(), 10000);
        // From the property dialog: OK and Exit wait for the camera to come back.
        capture::CVideoSettingDlg dialog(view);
        const QList<QSlider*> sliders = dialog.findChildren<QSlider*>();
        QCOMPARE(std::count_if(sliders.begin(), sliders.end(), [&](QSlider* s) { return s->isVisibleTo(&dialog); }), 6);
        auto* sizes = dialog.findChild<QComboBox*>(QStringLiteral("1072"));
        const int small = sizes->findText(QStringLiteral("640X480"));
        QVERIFY(small >= 0);
        QVERIFY(sizes->findText(QStringLiteral("1920X1080")) < 0);  // beyond what the camera's dialog offers
        auto* ok = dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
        sizes->setCurrentIndex(small);
        Q_EMIT sizes->activated(small);
        QVERIFY(!ok->isEnabled());
        QTRY_COMPARE_WITH_TIMEOUT(m_camera->currentSize(), QSize(640, 480), 15000);
        QTRY_VERIFY_WITH_TIMEOUT(ok->isEnabled(), 20000);
        QVERIFY(view.stream().latestFrame().frameArrived);
        QCOMPARE(view.frameSize(), QSize(640, 480));
        QCOMPARE(m_camera->requests("/apply.cgi"), 1);
        // The USB microscopes' last size stays theirs.
        QVERIFY(
            !QFile::exists(platform::programDataFolder(m_host->s.paths.programFolder) + QLatin1String("/Setting/CapConfig.dat")));
    }

    // The WiFi property dialog goes the camera's ways: its own title and row
    // order; the remembered profile is shown, not sent; Default puts the
    // camera back, while Save keeps the values set before it.
    void thePropertyDialogGoesTheCamerasWays()
    {
        QVERIFY(connectCamera());
        capture::CDeviceView& view = *m_view;
        QTRY_VERIFY_WITH_TIMEOUT(view.stream().mailbox().latest(), 10000);
        capture::CVideoSettingDlg dialog(view);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Video Setting"));
        const auto rowOf = [&dialog](const QString& text) {
            const QList<QLabel*> labels = dialog.findChildren<QLabel*>();
            const auto label = std::find_if(labels.begin(), labels.end(), [&](QLabel* l) { return l->text() == text; });
            auto* grid = qobject_cast<QGridLayout*>((*label)->parentWidget()->layout());
            int row = -1, column = 0, rows = 0, columns = 0;
            grid->getItemPosition(grid->indexOf(*label), &row, &column, &rows, &columns);
            return row;
        };
        QVERIFY(rowOf(QStringLiteral("Hue")) < rowOf(QStringLiteral("Gamma")));
        QVERIFY(rowOf(QStringLiteral("Gamma")) < rowOf(QStringLiteral("Sharpness")));

        auto* brightness = dialog.findChild<QSlider*>(QStringLiteral("1083"));
        brightness->setValue(200);
        QTRY_COMPARE_WITH_TIMEOUT(m_camera->control(V4L2_CID_BRIGHTNESS), 200, 10000);
        dialog.findChild<QPushButton*>(QStringLiteral("104"))->click();
        QTRY_COMPARE_WITH_TIMEOUT(m_camera->control(V4L2_CID_BRIGHTNESS), 128, 10000);
        QCOMPARE(brightness->value(), 128);
        QTimer::singleShot(0, [] {
            auto* save = qobject_cast<capture::CSavePropertyDlg*>(QApplication::activeModalWidget());
            QVERIFY(save);
            save->findChild<QLineEdit*>(QStringLiteral("1139"))->setText(QStringLiteral("bright"));
            save->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
        });
        dialog.findChild<QPushButton*>(QStringLiteral("190"))->click();
        const QString profile = m_host->s.paths.settingsFolder() + QLatin1String("/WiFiProperty/bright.ini");
        QCOMPARE(platform::readProfileString(profile, QStringLiteral("WiFiProperty"), QStringLiteral("Brightness")),
                 QStringLiteral("200"));

        // Opened again: the profile's name, and the camera left as it is.
        capture::CVideoSettingDlg again(view);
        QCOMPARE(again.findChild<QComboBox*>(QStringLiteral("1091"))->currentText(), QStringLiteral("bright"));
        QTest::qWait(300);
        QCOMPARE(m_camera->control(V4L2_CID_BRIGHTNESS), 128);
    }

    // Mode one by the camera's button; mode two by the snapshot program,
    // which is asked to close when either mode is chosen while it runs.
    void theCamerasStillButtonAndTheSnapshotProgramTakePictures()
    {
        QVERIFY(connectCamera());
        QTRY_VERIFY_WITH_TIMEOUT(m_view->stream().mailbox().latest(), 10000);
        m_wifi->toggleTriggerPoll();
        QVERIFY(m_wifi->triggerPolling());
        const QString pictures = m_host->s.paths.currentPictureFolder();
        m_camera->pressTrigger();
        QTRY_COMPARE_WITH_TIMEOUT(testing_support::filesIn(pictures).size(), qsizetype(1), 10000);
        m_wifi->toggleTriggerPoll();
        QVERIFY(!m_wifi->triggerPolling());
        m_camera->pressTrigger();
        QTest::qWait(500);
        QCOMPARE(testing_support::filesIn(pictures).size(), qsizetype(1));

        testing_support::WindowOnThread snapshot(QStringLiteral("SNAPSHOT"));
        QVERIFY(m_wifi->snapshotProgramRunning());
        m_wifi->startSnapshotProgram();
        m_wifi->toggleTriggerPoll();
        m_wifi->toggleTriggerPoll();
        QCOMPARE(snapshot.received(), (std::vector<int>{4005, 4005, 4005}));
        QVERIFY(m_wifi->snapshotProgramWantsPicture());
        QTRY_COMPARE_WITH_TIMEOUT(testing_support::filesIn(pictures).size(), qsizetype(2), 10000);
        m_view.reset();
        QVERIFY(!m_wifi->snapshotProgramWantsPicture());
        QCOMPARE(snapshot.count(), 4);  // the closing window asks it to close too
    }

private:
    bool connectCamera()
    {
        QSignalSpy looked(m_wifi.get(), &WifiMicroscope::lookFinished);
        m_wifi->connectCamera();
        return looked.wait(15000) && looked.at(0).at(0).toBool() && m_view;
    }

    std::unique_ptr<testing_support::Sandbox> m_box;
    std::unique_ptr<testing_support::FakeHost> m_host;
    std::unique_ptr<SimulatedWifiCamera> m_camera;
    std::unique_ptr<WifiCamera> m_wifiCamera;
    std::unique_ptr<WifiMicroscope> m_wifi;
    std::unique_ptr<capture::CDeviceView> m_view;
};

QTEST_MAIN(WifiWindowTest)
#include "wifi_window_test.moc"
