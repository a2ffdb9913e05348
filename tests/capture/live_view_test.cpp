// The live window of a USB slot on simulated microscopes: streaming,
// snapshots, recording, zoom, and the microscope leaving and returning.
#include "base/view_host.h"
#include "capture/core/live_tools.h"
#include "capture/device/latest_frame.h"
#include "capture/device/live_stream.h"
#include "capture/device/simulated_backend.h"
#include "capture/ui/CDeviceView.h"
#include "capture/ui/CFileSizeDlg.h"
#include "capture/ui/LiveExportSource.h"

#include "base/app_settings.h"
#include "base/command_ids.h"
#include "measure/core/measure_state.h"
#include "measure/ui/CCalibrationDlg.h"
#include "measure/ui/CExportExcelDlg.h"
#include "measure/ui/CExportOptionDlg.h"
#include "picture/core/cx_image.h"

#include "platform/posted_message.h"
#include "platform/sound_player.h"

#include "fake_view_host.h"
#include "live_view_helpers.h"
#include "recording_opener.h"
#include "sandbox.h"
#include "scripted_dialogs.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QtTest>

#include <opencv2/videoio.hpp>

#include <csignal>
#include <cstring>
#include <sys/resource.h>

using namespace capture;

using testing_support::answerRecordDialog;
using testing_support::filesIn;
using testing_support::framesIn;
using testing_support::HeardSounds;

class LiveViewTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_rig = std::make_unique<testing_support::LiveRig>();
        m_box = &m_rig->box;
        m_backend = &m_rig->backend;
        m_host = &m_rig->host;
    }
    void cleanup() { m_rig.reset(); }

    void twoSlotsStreamAtOnce()
    {
        const auto found = m_backend->enumerate();
        CDeviceView one(usbSlotStream(1), m_backend->open(found[0].devicePath), *m_host);
        CDeviceView two(usbSlotStream(2), m_backend->open(found[1].devicePath), *m_host);
        QCOMPARE(one.windowTitle(), QStringLiteral("MICROSCOPE 1"));
        QCOMPARE(two.windowTitle(), QStringLiteral("MICROSCOPE 2"));
        QVERIFY(one.isConnected() && two.isConnected());
        QCOMPARE(m_host->cameraModel, 1u);  // kept as "Camera"
        one.stream().latestFrame().frameArrived = 0;
        two.stream().latestFrame().frameArrived = 0;
        QTRY_VERIFY(one.stream().latestFrame().frameArrived && two.stream().latestFrame().frameArrived);
        QVERIFY(one.stream().mailbox().latest());
        QVERIFY(two.stream().mailbox().latest());
    }

    void slotWithoutMicroscopeSaysSo()
    {
        testing_support::ScriptedDialogs dialogs;
        CDeviceView view(usbSlotStream(4), nullptr, *m_host);
        QVERIFY(!view.isConnected());
        QCOMPARE(view.deviceCaption(), QStringLiteral("No Device"));
        view.resize(400, 300);
        const QImage shot = view.viewport()->grab().toImage();
        bool red = false;
        for (int x = 0; x < shot.width() && !red; ++x)
            red = QColor(shot.pixel(x, shot.height() / 2)).red() > 200 && QColor(shot.pixel(x, shot.height() / 2)).green() < 60;
        QVERIFY(red);                                               // "No Connect Microscope"
        QCOMPARE(QColor(shot.pixel(2, 2)), QColor(160, 160, 160));  // the grey background
        view.record();
        QCOMPARE(dialogs.messages.value(0), QStringLiteral("Please Connect Device..."));
    }

    void snapshotNamesFormatsAndDpi()
    {
        HeardSounds sounds;
        const auto found = m_backend->enumerate();
        m_host->s.toggles.imagePrefixSelected = QStringLiteral("abc");
        m_host->s.registry.g_szBmporjpgDPI = 240;
        CDeviceView view(usbSlotStream(1), m_backend->open(found[0].devicePath), *m_host);
        const QString pictures = m_host->s.paths.currentPictureFolder();
        QTRY_VERIFY(view.stream().latestFrame().frameArrived);

        view.runCommand(base::cmd::Camera);
        QTRY_COMPARE(filesIn(pictures).size(), 1);
        const QString bmp = filesIn(pictures).first();
        QVERIFY(QRegularExpression(QStringLiteral("^abc\\d{14}\\.bmp$")).match(bmp).hasMatch());
        CxImage back;
        QVERIFY(back.Load((pictures + QLatin1Char('/') + bmp).toStdString(), CXIMAGE_FORMAT_BMP));
        QCOMPARE(back.GetXDPI(), 240);
        QCOMPARE(QSize(int(back.GetWidth()), int(back.GetHeight())), view.frameSize());
        QCOMPARE(view.lastSavedPicture(), pictures + QLatin1Char('/') + bmp);
        QCOMPARE(sounds.played, QStringList{QStringLiteral("Capture.wav")});
        // Seen as well as heard: where the picture went.
        QCOMPARE(m_host->statusMessages, QStringList{QStringLiteral("Picture saved: %1 in %2").arg(bmp, pictures)});

        m_host->s.toggles.imagePrefixSelected.clear();
        m_host->s.registry.g_szBmporjpg = 0;
        view.snapshotRequest();
        QTRY_COMPARE(sounds.played.size(), 2);
        const QString jpg = QFileInfo(view.lastSavedPicture()).fileName();
        QVERIFY(QRegularExpression(QStringLiteral("^\\d{14}\\.jpg$")).match(jpg).hasMatch());
        QVERIFY(back.Load(view.lastSavedPicture().toStdString(), CXIMAGE_FORMAT_JPG));
        QCOMPARE(back.GetYDPI(), 240);
    }

    void saveFailureIsToldWithPathAndReason()
    {
        testing_support::ScriptedDialogs dialogs;
        const auto found = m_backend->enumerate();
        CDeviceView view(usbSlotStream(1), m_backend->open(found[0].devicePath), *m_host);
        QTRY_VERIFY(view.stream().latestFrame().frameArrived);
        QDir(m_host->s.paths.currentPictureFolder()).removeRecursively();
        view.snapshotRequest();
        QTRY_COMPARE(dialogs.messages.size(), 1);
        QVERIFY(dialogs.messages[0].contains(m_host->s.paths.currentPictureFolder()));
        QVERIFY(dialogs.messages[0].contains(QStringLiteral("No such file or directory")));
    }

    void recordingWithLimitTwoGivesAPlayableClipAndThumbnail()
    {
        HeardSounds sounds;
        testing_support::ScriptedDialogs dialogs;
        const auto found = m_backend->enumerate();
        CDeviceView view(usbSlotStream(1), m_backend->open(found[0].devicePath), *m_host);
        QTRY_VERIFY(view.stream().latestFrame().frameArrived);
        answerRecordDialog(QStringLiteral("2"));
        view.record();
        QVERIFY(view.isRecording());
        const QString clip = view.clipPath();
        QVERIFY(clip.startsWith(m_host->s.paths.currentVideoFolder()));
        QTRY_VERIFY(QFile::exists(clip + QLatin1String(".bmp")));
        QCOMPARE(sounds.played.value(0), QStringLiteral("startRecord.wav"));
        const QString clipName = QFileInfo(clip).fileName();
        const QString videos = m_host->s.paths.currentVideoFolder();
        QCOMPARE(m_host->statusMessages, QStringList{QStringLiteral("Recording %1 in %2").arg(clipName, videos)});

        // A snapshot while recording is refused.
        view.hotKey(Qt::Key_F2);
        QCOMPARE(dialogs.messages.value(0), QStringLiteral("Please stop record video and then capture"));

        // The one-second timer: two seconds shown, the third tick stops
        // writing, the fifth closes the clip.
        QTRY_COMPARE_WITH_TIMEOUT(m_host->panes[0], QStringLiteral(" 1 Seconds"), 3000);
        QTRY_COMPARE_WITH_TIMEOUT(m_host->panes[0], QStringLiteral(" 2 Seconds"), 3000);
        QTRY_VERIFY_WITH_TIMEOUT(!view.stream().isRecording(), 3000);
        QCOMPARE(m_host->panes[0], QString());
        QVERIFY(view.isRecording());  // still finishing
        QTRY_VERIFY_WITH_TIMEOUT(!view.isRecording(), 4000);
        QCOMPARE(sounds.played.last(), QStringLiteral("stopRecord.wav"));
        QCOMPARE(m_host->statusMessages.last(), QStringLiteral("Clip saved: %1 in %2").arg(clipName, videos));
        QVERIFY(framesIn(clip) > 0);
        CxImage thumb;
        QVERIFY(thumb.Load((clip + QLatin1String(".bmp")).toStdString(), CXIMAGE_FORMAT_BMP));
    }

    void unplugDuringRecordingKeepsThePlayableClip()
    {
        const auto found = m_backend->enumerate();
        CDeviceView view(usbSlotStream(2), m_backend->open(found[1].devicePath), *m_host);
        QTRY_VERIFY(view.stream().latestFrame().frameArrived);
        answerRecordDialog(QStringLiteral("30"));
        view.record();
        const QString clip = view.clipPath();
        QTest::qWait(700);
        view.pacingTick();
        m_backend->unplug(1);
        QTRY_VERIFY(!view.isConnected());
        QVERIFY(!view.isRecording());
        QCOMPARE(view.deviceCaption(), QStringLiteral("No Device"));
        QVERIFY(framesIn(clip) > 0);

        m_backend->plugIn(1);
        QVERIFY(view.sourceBack(m_backend->open(m_backend->camera(1).devicePath())));
        view.stream().latestFrame().frameArrived = 0;
        QTRY_VERIFY(view.stream().latestFrame().frameArrived);
    }

    // A disk that fills mid-recording (here: a file size limit, which fails
    // writes the same way) stops the recording with a message naming the
    // clip, which is finished and plays; a recording that cannot start on it
    // says why.
    void aFullDiskStopsTheRecordingWithTheMessageAndAPlayableClip()
    {
        testing_support::ScriptedDialogs dialogs;
        const auto found = m_backend->enumerate();
        CDeviceView view(usbSlotStream(1), m_backend->open(found[0].devicePath), *m_host);
        QTRY_VERIFY(view.stream().latestFrame().frameArrived);
        answerRecordDialog(QStringLiteral("30"));
        view.record();
        const QString clip = view.clipPath();
        QVERIFY(!clip.isEmpty());
        QTimer ticks;
        connect(&ticks, &QTimer::timeout, &view, &CDeviceView::pacingTick);
        ticks.start(50);
        QTRY_VERIFY_WITH_TIMEOUT(view.stream().clipFrames() >= 2, 10000);
        QTRY_VERIFY(QFile::exists(clip + QLatin1String(".bmp")));
        rlimit saved{};
        getrlimit(RLIMIT_FSIZE, &saved);
        const auto handler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit full = saved;
        full.rlim_cur = rlim_t(QFileInfo(clip).size() + 4096);  // less than a frame, room for the index
        setrlimit(RLIMIT_FSIZE, &full);
        QTRY_VERIFY_WITH_TIMEOUT(!dialogs.messages.isEmpty(), 10000);
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, handler);
        ticks.stop();

        QVERIFY(dialogs.messages[0].contains(clip));
        QVERIFY(dialogs.messages[0].contains(QString::fromLocal8Bit(std::strerror(EFBIG))));
        QVERIFY(!view.isRecording());
        QVERIFY(!view.stream().isRecording());
        QCOMPARE(m_host->panes[0], QString());
        QCOMPARE(framesIn(clip), view.stream().clipFrames());
        QVERIFY(framesIn(clip) >= 2);

        // Still full: the next recording cannot start, and says why.
        full.rlim_cur = 1;
        setrlimit(RLIMIT_FSIZE, &full);
        std::signal(SIGXFSZ, SIG_IGN);
        answerRecordDialog(QStringLiteral("30"));
        view.record();
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, handler);
        QCOMPARE(dialogs.messages.size(), 2);
        QVERIFY(dialogs.messages[1].startsWith(QStringLiteral("The clip could not be started in this folder:")));
        QVERIFY(dialogs.messages[1].contains(QString::fromLocal8Bit(std::strerror(EFBIG))));
        QVERIFY(!view.isRecording());
    }

    void zoomCommandsKeepTheirLimitsAndAreSaved()
    {
        const auto found = m_backend->enumerate();
        CDeviceView view(usbSlotStream(1), m_backend->open(found[0].devicePath), *m_host);
        CDeviceDoc& doc = view.document();
        view.runCommand(base::cmd::ZoomNormal);
        QCOMPARE(m_host->panes[1], QStringLiteral("W 100% : H 100%"));
        for (int i = 0; i < 12; ++i)
            view.runCommand(base::cmd::ZoomOut);
        QCOMPARE(doc.zoom().x, 0.1);
        base::CommandState state;
        view.updateCommand(base::cmd::ZoomOut, state);
        QVERIFY(!state.enabled);
        QCOMPARE(m_host->s.registry.m_zoon_ratio_x, 0.1);

        view.runCommand(base::cmd::ZoomIn);  // fits uniformly, and is kept
        const double uniform = std::min(1000.0 / view.frameSize().width(), 600.0 / view.frameSize().height());
        QCOMPARE(doc.zoom().x, uniform);
        QCOMPARE(m_host->s.registry.m_zoon_ratio_y, uniform);
        view.runCommand(base::cmd::ZoomIn);  // stretches, and is not kept
        QCOMPARE(doc.zoom().x, 1000.0 / view.frameSize().width());
        QCOMPARE(m_host->s.registry.m_zoon_ratio_x, uniform);
        QTRY_COMPARE(view.stream().mailbox().latest() ? view.stream().mailbox().latest()->width() : 0, 1000);
    }

    void overlaysNeedACalibrationAndToggle()
    {
        testing_support::ScriptedDialogs dialogs;
        const auto found = m_backend->enumerate();
        CDeviceView view(usbSlotStream(1), m_backend->open(found[0].devicePath), *m_host);
        view.runCommand(base::cmd::Crosshair);
        QCOMPARE(view.document().toolCode(), 140);
        QCOMPARE(m_host->crosshair, 1u);
        view.runCommand(base::cmd::Crosshair);
        QCOMPARE(view.document().toolCode(), 0);
        QCOMPARE(m_host->crosshair, 0u);

        view.runCommand(base::cmd::GridLines);
        QCOMPARE(dialogs.messages.value(0), QStringLiteral("Please Calibrate first"));
        QCOMPARE(view.overlay().mode, int(measure::OverlayNone));

        // One click switches from one overlay to another; the one shown
        // switches off.
        m_host->m.calibrationName = QStringLiteral("10x");
        testing_support::answerPitch(QStringLiteral("1"));
        view.runCommand(base::cmd::GridLines);
        QCOMPARE(view.overlay().mode, int(measure::OverlayGrid));
        testing_support::answerPitch(QStringLiteral("2"));
        view.runCommand(base::cmd::CircleGrid);
        QCOMPARE(view.overlay().mode, int(measure::OverlayCircleGrid));
        QCOMPARE(view.overlay().label, QStringLiteral("2mm"));
        QCOMPARE(view.document().toolCode(), int(ToolCodeCircleGrid));
        view.runCommand(base::cmd::Crosshair);
        QCOMPARE(view.overlay().mode, int(measure::OverlayCrosshair));
        view.runCommand(base::cmd::Crosshair);
        QCOMPARE(view.overlay().mode, int(measure::OverlayNone));
        QCOMPARE(view.document().toolCode(), 0);

        view.runCommand(base::cmd::RedChannel);
        QCOMPARE(view.document().colourMode(), 1);
        QCOMPARE(m_host->s.toggles.imageColorSelected, 1);
        view.runCommand(base::cmd::RedChannel);
        QCOMPARE(view.document().colourMode(), 0);
        view.runCommand(base::cmd::HorizontalFlip);
        QVERIFY(view.document().mirror());
        QCOMPARE(m_host->s.toggles.imageHFlipSelected, 1);
    }

    void resolutionMenuAndCommand()
    {
        const auto found = m_backend->enumerate();
        CDeviceView view(usbSlotStream(1), m_backend->open(found[0].devicePath), *m_host);
        view.activated();
        QVERIFY(!m_host->resolutions.isEmpty());
        QCOMPARE(m_host->panes[2], QStringLiteral("%1:%2").arg(view.frameSize().width()).arg(view.frameSize().height()));
        const QString first = m_host->resolutions.first();
        view.runCommand(32901);
        QCOMPARE(QStringLiteral("%1X%2").arg(view.frameSize().width()).arg(view.frameSize().height()), first);
        QVERIFY(QFile::exists(m_host->s.paths.programFolder + QLatin1String("/Setting/CapConfig.dat")));
    }

    void calibrateOnTheLivePictureThenMeasure()
    {
        testing_support::ScriptedDialogs dialogs;
        const auto shown = shownView();
        QVERIFY(shown);
        CDeviceView& view = *shown;

        view.runCommand(1230);  // New Calibration
        auto* dialog = view.findChild<measure::CCalibrationDlg*>();
        QVERIFY(dialog && dialog->isVisible());
        QVERIFY(!dialog->okButton()->isEnabled());
        QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, QPoint(100, 100));
        QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, QPoint(100, 250));
        QTRY_VERIFY(dialog->okButton()->isEnabled());  // 1145 arrived
        QCOMPARE(m_host->m.knownLinePixels, 150.0);
        QCOMPARE(view.document().toolCode(), 0);
        // The dialog says what it took, and the line stays on the picture.
        QCOMPARE(dialog->instructionLine()->text(), QStringLiteral("Line: 150.0 px"));
        const auto lineShown = [&] {
            const QImage shot = view.viewport()->grab().toImage();
            return QColor(shot.pixel(100, 175)) == m_host->m.colour && QColor(shot.pixel(100, 110)) == m_host->m.colour;
        };
        m_host->m.colour = QColor(0, 255, 255);  // nowhere on the specimen
        QTRY_VERIFY(lineShown());
        dialog->nameEdit()->setText(QStringLiteral("10x"));
        dialog->magnificationEdit()->setText(QStringLiteral("10"));
        dialog->lengthEdit()->setText(QStringLiteral("1.5"));
        dialog->okButton()->click();
        QVERIFY2(m_host->m.isCalibrated(), qPrintable(dialogs.messages.join(QLatin1Char('|'))));
        QCOMPARE(m_host->m.toUnits(150.0), 1.5);
        const QString profiles = QDir::toNativeSeparators(m_host->s.paths.settingsFolder() + QLatin1String("/calibration"));
        QCOMPARE(m_host->statusMessages.last(), QStringLiteral("Calibration saved: 10x.txt in %1").arg(profiles));
        QTRY_VERIFY(!view.findChild<measure::CCalibrationDlg*>());
        QTRY_VERIFY(!lineShown());  // gone with its dialog

        // Any tool now; choosing it again puts it away.
        view.runCommand(base::cmd::ToolPolygon);
        QCOMPARE(view.document().toolCode(), 113);
        view.runCommand(base::cmd::ToolPolygon);
        QCOMPARE(view.document().toolCode(), 0);
        view.runCommand(base::cmd::ToolLine);
        QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, QPoint(50, 50));
        QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, QPoint(350, 50));
        QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, QPoint(200, 80));
        QCOMPARE(view.measurements().size(), size_t(1));
        QCOMPARE(view.measurements()[0]->value1, 300.0);
        // A click beside the picture is not taken.
        QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, QPoint(700, 500));
        QCOMPARE(view.measurements().size(), size_t(1));
        view.runCommand(base::cmd::UndoShape);
        QCOMPARE(view.measurements().size(), size_t(0));
        view.runCommand(base::cmd::UndoShape);  // nothing left: nothing happens
        QCOMPARE(view.measurements().size(), size_t(0));
    }

    void textToolTakesTheTypedText()
    {
        const auto shown = shownView();
        QVERIFY(shown);
        CDeviceView& view = *shown;
        view.runCommand(base::cmd::ToolText);  // needs no calibration
        QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, QPoint(60, 70));
        auto* box = view.viewport()->findChild<QPlainTextEdit*>(QStringLiteral("36865"));
        QVERIFY(box);
        QCOMPARE(box->geometry(), QRect(60, 70, 180, 120));
        QTest::keyClicks(box, QStringLiteral("debris"));
        QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, QPoint(300, 300));
        QCOMPARE(view.measurements().size(), size_t(1));
        QCOMPARE(view.measurements()[0]->text, QStringLiteral("debris"));
        QTRY_VERIFY(!view.viewport()->findChild<QPlainTextEdit*>(QStringLiteral("36865")));

        // Lines typed become one label line, as on a picture; nothing typed adds nothing.
        QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, QPoint(60, 70));
        box = view.viewport()->findChild<QPlainTextEdit*>(QStringLiteral("36865"));
        QVERIFY(box);
        QTest::keyClicks(box, QStringLiteral("cell"));
        QTest::keyClick(box, Qt::Key_Return);
        QTest::keyClicks(box, QStringLiteral("wall"));
        QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, QPoint(300, 300));
        QCOMPARE(view.measurements().size(), size_t(2));
        QCOMPARE(view.measurements()[1]->text, QStringLiteral("cell_wall"));
        QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, QPoint(60, 70));
        QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, QPoint(300, 300));
        QCOMPARE(view.measurements().size(), size_t(2));
    }

    void stillButtonOnlyWhenUsbSnapshotIsOn()
    {
        HeardSounds sounds;
        const auto found = m_backend->enumerate();
        m_host->s.registry.isEnableSnap = 0;
        CDeviceView view(usbSlotStream(1), m_backend->open(found[0].devicePath), *m_host);
        QTRY_VERIFY(view.stream().latestFrame().frameArrived);
        QVERIFY(!view.stream().stillButtonActive());
        m_backend->camera(0).pressStill();
        QTest::qWait(300);
        QCOMPARE(sounds.played.size(), 0);

        view.runCommand(base::cmd::UsbSnapshot);
        QCOMPARE(m_host->s.registry.isEnableSnap, 1u);
        QCOMPARE(m_host->registrySaves, 1);
        QVERIFY(view.stream().stillButtonActive());
        QVERIFY(view.stream().isRunning());
        view.stream().latestFrame().frameArrived = 0;
        QTRY_VERIFY(view.stream().latestFrame().frameArrived);
        m_backend->camera(0).pressStill();
        QTRY_COMPARE(sounds.played.size(), 1);
        QCOMPARE(filesIn(m_host->s.paths.currentPictureFolder()).size(), 1);
    }

    void enterClicksWhereTheCursorIsAndArrowsMoveIt()
    {
        m_host->m.calibrationName = QStringLiteral("10x");
        const auto shown = shownView();
        QVERIFY(shown);
        CDeviceView& view = *shown;
        view.runCommand(base::cmd::ToolLine);
        QCursor::setPos(view.viewport()->mapToGlobal(QPoint(100, 100)));
        if (view.viewport()->mapFromGlobal(QCursor::pos()) != QPoint(100, 100))
            QSKIP("this platform cannot place the cursor");
        QTest::keyClick(&view, Qt::Key_Return);
        for (int i = 0; i < 40; ++i)
            QTest::keyClick(&view, Qt::Key_Right);
        QCOMPARE(view.viewport()->mapFromGlobal(QCursor::pos()), QPoint(140, 100));
        QTest::keyClick(&view, Qt::Key_Return);
        QTest::keyClick(&view, Qt::Key_Down);
        QTest::keyClick(&view, Qt::Key_Return);
        QCOMPARE(view.measurements().size(), size_t(1));
        QCOMPARE(view.measurements()[0]->value1, 40.0);
    }

    void deleteRemovesOneOrAll()
    {
        const auto shown = shownView();
        QVERIFY(shown);
        CDeviceView& view = *shown;
        view.runCommand(base::cmd::ToolText);
        for (const QString& word : {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}) {
            QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, QPoint(40, 40));
            QTest::keyClicks(view.viewport()->findChild<QPlainTextEdit*>(), word);
            QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, QPoint(80, 80));
        }
        QCOMPARE(view.measurements().size(), size_t(3));
        view.deleteMeasurement(3);  // no such index
        QCOMPARE(view.measurements().size(), size_t(3));
        view.deleteMeasurement(1);
        QCOMPARE(view.measurements().size(), size_t(2));
        QCOMPARE(view.measurements()[1]->text, QStringLiteral("c"));
        view.editMeasurements({}, true);
        QCOMPARE(view.measurements().size(), size_t(0));
    }

    void liveMeasurementsGoToTheWorkbook()
    {
        testing_support::ScriptedDialogs dialogs;
        testing_support::RecordingOpener opener;
        const auto shown = shownView();
        QVERIFY(shown);
        CDeviceView& view = *shown;
        QTRY_VERIFY(view.stream().latestFrame().frameArrived);
        // An empty list: no picture, no workbook.
        view.writeWorkbook(view.stillRequest(StillRequest::WorkbookPicture));
        QTest::qWait(300);
        QVERIFY(opener.opened.isEmpty());

        m_host->m.calibrationName = QStringLiteral("10x");  // 60 pixels are 10 mm
        view.runCommand(base::cmd::ToolLine);
        for (const QPoint p : {QPoint(50, 50), QPoint(110, 50), QPoint(80, 70)})
            QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, p);
        view.runCommand(base::cmd::ToolFourPointAngle);
        for (const QPoint p : {QPoint(50, 200), QPoint(150, 200), QPoint(60, 210), QPoint(160, 310), QPoint(220, 260)})
            QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, p);
        QCOMPARE(view.measurements().size(), size_t(2));

        bool listed = false;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<measure::CExportExcelDlg*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            QCOMPARE(dialog->page(0)->rowCount(), 1);
            QCOMPARE(dialog->page(0)->item(0, 2)->text(), QStringLiteral("10.000"));
            dialog->pages()->setCurrentIndex(4);
            QCOMPARE(dialog->page(4)->item(0, 1)->text(), QStringLiteral("FA0"));
            QCOMPARE(dialog->page(4)->item(0, 6)->text(), QStringLiteral("45.000"));
            // The length switch reaches the line, not the angle.
            dialog->findChild<QCheckBox*>(QStringLiteral("Length"))->click();
            QTimer::singleShot(0, [] {
                auto* options = qobject_cast<measure::CExportOptionDlg*>(QApplication::activeModalWidget());
                QVERIFY(options);
                options->accept();
            });
            dialog->findChild<QPushButton*>(QStringLiteral("Export"))->click();
            listed = true;
            dialog->reject();
        });
        view.runCommand(base::cmd::Export);
        QVERIFY(listed);
        QCOMPARE(view.measurements()[0]->show[measure::ShowLength], 0);
        QCOMPARE(view.measurements()[1]->show[measure::ShowLength], 1);

        const QString book = m_host->s.paths.saveRoot + QLatin1String("/tmpExcel.xls");
        QTRY_COMPARE(opener.opened, QStringList{book});
        QVERIFY(QFile::exists(m_host->s.paths.currentFolder + QLatin1String("/tmpPic.bmp")));
        QCOMPARE(QImage(m_host->s.paths.currentFolder + QLatin1String("/tmpPic.bmp")).width(), 640);
        QVERIFY(dialogs.messages.isEmpty());
        QCOMPARE(view.measurements().size(), size_t(2));  // the list stays

        // Delete takes the chosen row's measurement, and only it.
        bool deleted = false;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<measure::CExportExcelDlg*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            const auto closeEvenOnFailure = qScopeGuard([dialog] { dialog->reject(); });
            auto* remove = dialog->findChild<QPushButton*>(QStringLiteral("Delete"));
            remove->click();  // nothing chosen: nothing goes
            QCOMPARE(view.measurements().size(), size_t(2));
            dialog->page(0)->selectRow(0);
            remove->click();
            QCOMPARE(dialog->page(0)->rowCount(), 0);
            deleted = true;
        });
        view.runCommand(base::cmd::Export);
        QVERIFY(deleted);
        QCOMPARE(view.measurements().size(), size_t(1));
        QCOMPARE(view.measurements()[0]->kind, 10);  // the four-point angle stays
    }

    void liveLabelSwitchesReachTheirKinds()
    {
        QVERIFY(liveLabelApplies(3, 1) && liveLabelApplies(3, 11) && !liveLabelApplies(3, 4));
        QVERIFY(liveLabelApplies(4, 8) && !liveLabelApplies(4, 6));
        QVERIFY(liveLabelApplies(6, 4) && liveLabelApplies(7, 8) && !liveLabelApplies(7, 9));
        QVERIFY(liveLabelApplies(8, 10) && !liveLabelApplies(8, 7));
        QVERIFY(liveLabelApplies(2, 13) && liveLabelApplies(9, 13) && !liveLabelApplies(1, 1));
    }

private:
    // Slot 1's window on screen at 1:1, or nullptr when it never showed.
    std::unique_ptr<CDeviceView> shownView()
    {
        auto view = std::make_unique<CDeviceView>(usbSlotStream(1), m_backend->open(m_backend->camera(0).devicePath()), *m_host);
        view->resize(800, 600);
        view->show();
        if (!QTest::qWaitForWindowExposed(view.get()))
            return nullptr;
        view->runCommand(base::cmd::ZoomNormal);
        return view;
    }

    std::unique_ptr<testing_support::LiveRig> m_rig;
    testing_support::Sandbox* m_box = nullptr;
    SimulatedBackend* m_backend = nullptr;
    testing_support::FakeHost* m_host = nullptr;
};

QTEST_MAIN(LiveViewTest)
#include "live_view_test.moc"
