// Still pictures of a live window as requests: each request gets its own
// picture, nothing it asks for is passed through the stored settings, a
// picture is never written over, and a recording keeps its size and its
// thumbnail.
#include "capture/core/snapshot_files.h"
#include "capture/device/latest_frame.h"
#include "capture/device/live_stream.h"
#include "capture/ui/CDeviceView.h"
#include "capture/ui/LiveExportSource.h"

#include "base/app_settings.h"
#include "base/command_ids.h"
#include "picture/core/cx_image.h"

#include "live_view_helpers.h"
#include "recording_opener.h"
#include "scripted_dialogs.h"

#include <QRegularExpression>
#include <QtTest>

using namespace capture;
using testing_support::answerRecordDialog;
using testing_support::filesIn;
using testing_support::HeardSounds;

namespace {

QByteArray contentsOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

const QString kCaptureTip = QStringLiteral("Please stop record video and then capture");

}  // namespace

class StillRequestTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_rig = std::make_unique<testing_support::LiveRig>();
        m_host = &m_rig->host;
    }
    void cleanup() { m_rig.reset(); }

    void twoSnapshotsAskedAtOnceGiveTwoPictures()
    {
        HeardSounds sounds;
        CDeviceView view(usbSlotStream(1), m_rig->backend.open(m_rig->backend.camera(0).devicePath()), *m_host);
        QTRY_VERIFY(view.stream().latestFrame().frameArrived);
        view.snapshotRequest();
        view.snapshotRequest();  // before any frame answered the first
        QTRY_COMPARE(sounds.played.size(), 2);
        const QStringList pictures = filesIn(m_host->s.paths.currentPictureFolder());
        QCOMPARE(pictures.size(), 2);
        QCOMPARE(view.lastSavedPicture(), m_host->s.paths.currentPictureFolder() + QLatin1Char('/') + pictures.last());
        for (const QString& name : pictures)
            QVERIFY2(QRegularExpression(QStringLiteral("^\\d{14}(_1)?\\.bmp$")).match(name).hasMatch(), qPrintable(name));
    }

    void aSnapshotNeverReplacesAPicture()
    {
        HeardSounds sounds;
        m_host->s.toggles.imagePrefixSelected = QStringLiteral("keep");
        CDeviceView view(usbSlotStream(1), m_rig->backend.open(m_rig->backend.camera(0).devicePath()), *m_host);
        QTRY_VERIFY(view.stream().latestFrame().frameArrived);
        // Pictures of this second and the next few: the snapshot's own
        // second is taken whenever it runs.
        const QString folder = m_host->s.paths.currentPictureFolder();
        const QDateTime now = QDateTime::currentDateTime();
        QStringList made;
        for (int s = 0; s < 5; ++s) {
            made.append(snapshotPath(folder, QStringLiteral("keep"), now.addSecs(s), true));
            QFile file(made.last());
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("a picture of the user");
        }
        view.snapshotRequest();
        QTRY_COMPARE(sounds.played.size(), 1);
        for (const QString& path : made)
            QCOMPARE(contentsOf(path), QByteArray("a picture of the user"));
        QCOMPARE(filesIn(folder).size(), 6);
        QVERIFY2(view.lastSavedPicture().endsWith(QLatin1String("_1.bmp")), qPrintable(view.lastSavedPicture()));
        CxImage back;
        QVERIFY(back.Load(view.lastSavedPicture().toStdString(), CXIMAGE_FORMAT_BMP));
    }

    void aSnapshotLeavesTheStoredPictureOptionsAlone()
    {
        HeardSounds sounds;
        base::RegistrySettings& r = m_host->s.registry;
        r.g_szSaveoption1 = 2;
        r.g_szSaveoption2 = 0;
        r.g_szBmporjpgDPI = 180;
        CDeviceView view(usbSlotStream(1), m_rig->backend.open(m_rig->backend.camera(0).devicePath()), *m_host);
        QTRY_VERIFY(view.stream().latestFrame().frameArrived);
        view.snapshotRequest();
        QTRY_COMPARE(sounds.played.size(), 1);
        QCOMPARE(r.g_szSaveoption1, 2u);
        QCOMPARE(r.g_szSaveoption2, 0u);
        // A snapshot is full size with the stored DPI.
        CxImage back;
        QVERIFY(back.Load(view.lastSavedPicture().toStdString(), CXIMAGE_FORMAT_BMP));
        QCOMPARE(QSize(int(back.GetWidth()), int(back.GetHeight())), view.frameSize());
        QCOMPARE(back.GetXDPI(), 180);
    }

    void theWorkbookPictureTakesTheExportOptionsAndStoresNone()
    {
        testing_support::ScriptedDialogs dialogs;
        testing_support::RecordingOpener opener;
        base::RegistrySettings& r = m_host->s.registry;
        r.g_szBmporjpgDPI = 180;
        auto view = std::make_unique<CDeviceView>(usbSlotStream(1), m_rig->backend.open(m_rig->backend.camera(0).devicePath()),
                                                  *m_host);
        view->resize(800, 600);
        view->show();
        QVERIFY(QTest::qWaitForWindowExposed(view.get()));
        view->runCommand(base::cmd::ZoomNormal);
        QTRY_VERIFY(view->stream().latestFrame().frameArrived);
        m_host->m.calibrationName = QStringLiteral("10x");
        view->runCommand(base::cmd::ToolLine);
        for (const QPoint p : {QPoint(50, 50), QPoint(110, 50), QPoint(80, 70)})
            QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, p);
        QCOMPARE(view->measurements().size(), size_t(1));

        measure::ExportSource source = exportSource(*view);
        source.exportWorkbook({2, false, 300});
        QTRY_COMPARE(opener.opened.size(), 1);
        QVERIFY(dialogs.messages.isEmpty());
        CxImage picture;
        QVERIFY(picture.Load((m_host->s.paths.currentFolder + QLatin1String("/tmpPic.bmp")).toStdString(), CXIMAGE_FORMAT_BMP));
        QCOMPARE(int(picture.GetWidth()), view->frameSize().width() / 2);
        QCOMPARE(picture.GetXDPI(), 300);
        QCOMPARE(r.g_szSaveoption1, 1u);
        QCOMPARE(r.g_szSaveoption2, 1u);
        QCOMPARE(r.g_szBmporjpgDPI, 180u);
        QVERIFY(!source.imprint());  // offered again next time
    }

    void theStillButtonAfterARecordingTakesASnapshot()
    {
        HeardSounds sounds;
        m_host->s.registry.isEnableSnap = 1;
        CDeviceView view(usbSlotStream(1), m_rig->backend.open(m_rig->backend.camera(0).devicePath()), *m_host);
        QTRY_VERIFY(view.stream().latestFrame().frameArrived);
        answerRecordDialog(QStringLiteral("30"));
        view.record();
        QVERIFY(view.isRecording());
        const QString thumbnail = view.clipPath() + QLatin1String(".bmp");
        QTRY_VERIFY(QFile::exists(thumbnail));
        QTRY_VERIFY(!contentsOf(thumbnail).isEmpty());
        view.finishRecordingNow();
        const QByteArray before = contentsOf(thumbnail);
        const QStringList clips = filesIn(m_host->s.paths.currentVideoFolder());

        m_rig->backend.camera(0).pressStill();
        QTRY_VERIFY(sounds.played.contains(QStringLiteral("Capture.wav")));
        QCOMPARE(filesIn(m_host->s.paths.currentPictureFolder()).size(), 1);
        QCOMPARE(contentsOf(thumbnail), before);
        QCOMPARE(filesIn(m_host->s.paths.currentVideoFolder()), clips);
    }

    void whileRecordingTheSizeAndTheThumbnailStay()
    {
        testing_support::ScriptedDialogs dialogs;
        m_host->s.registry.isEnableSnap = 1;
        CDeviceView view(usbSlotStream(1), m_rig->backend.open(m_rig->backend.camera(0).devicePath()), *m_host);
        QTRY_VERIFY(view.stream().latestFrame().frameArrived);
        const QSize size = view.frameSize();
        int other = -1;
        const ResolutionTable table = view.stream().GetResolutions();
        for (size_t i = 0; i < base::cmd::kResolutionCommands.size() && other < 0; ++i) {
            if (table[i].width > 0 && QSize(table[i].width, table[i].height) != size)
                other = base::cmd::kResolutionCommands[i];
        }
        QVERIFY(other > 0);
        answerRecordDialog(QStringLiteral("30"));
        view.record();
        QVERIFY(view.stream().isRecording());
        const QString thumbnail = view.clipPath() + QLatin1String(".bmp");
        QTRY_VERIFY(!contentsOf(thumbnail).isEmpty());
        const QByteArray before = contentsOf(thumbnail);

        view.runCommand(other);
        QCOMPARE(dialogs.messages, QStringList{kCaptureTip});
        QCOMPARE(view.frameSize(), size);
        QCOMPARE(QSize(view.stream().width(), view.stream().height()), size);
        QVERIFY(view.stream().isRecording());

        // The microscope's button is refused like F2, and the thumbnail stays.
        m_rig->backend.camera(0).pressStill();
        QTRY_COMPARE(dialogs.messages.size(), 2);
        QCOMPARE(dialogs.messages.last(), kCaptureTip);
        QCOMPARE(contentsOf(thumbnail), before);
        QVERIFY(filesIn(m_host->s.paths.currentPictureFolder()).isEmpty());
        view.finishRecordingNow();

        view.runCommand(other);  // once the clip is finished the size changes
        QVERIFY(view.frameSize() != size);
        QCOMPARE(dialogs.messages.size(), 2);
    }

private:
    std::unique_ptr<testing_support::LiveRig> m_rig;
    testing_support::FakeHost* m_host = nullptr;
};

QTEST_MAIN(StillRequestTest)
#include "still_request_test.moc"
