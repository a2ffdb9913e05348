// The camera property and timed-capture dialogs on a live window of a
// simulated microscope: controls set live on the streaming camera, profiles
// saved, chosen, fitted and applied again, the format and size, the prefix,
// the refusal while measurements exist, and series of pictures.
#include "capture/core/camera_profiles.h"
#include "capture/device/live_stream.h"
#include "capture/device/simulated_backend.h"
#include "capture/ui/CDeviceView.h"
#include "capture/ui/CSavePropertyDlg.h"
#include "capture/ui/CTimerDlg.h"
#include "capture/ui/CVideoSettingDlg.h"

#include "base/app_settings.h"
#include "base/command_ids.h"

#include "platform/private_profile.h"

#include "fake_series_clock.h"
#include "fake_view_host.h"
#include "live_view_helpers.h"
#include "sandbox.h"
#include "scripted_dialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTimer>
#include <QtTest>

#include <linux/videodev2.h>
#include <sys/resource.h>

#include <csignal>

using namespace capture;

namespace {

int32_t valueOf(const CDeviceView& view, uint32_t id)
{
    for (const CameraControl& c : view.stream().controls()) {
        if (c.id == id)
            return c.value;
    }
    return INT32_MIN;
}

// Types `names` one after another into the save dialog, pressing OK after each.
void answerSaveDialog(QStringList names)
{
    QTimer::singleShot(0, [names] {
        auto* dialog = qobject_cast<CSavePropertyDlg*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        for (const QString& name : names) {
            dialog->findChild<QLineEdit*>(QStringLiteral("1139"))->setText(name);
            dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
        }
        if (dialog->isVisible())
            dialog->reject();
    });
}

}  // namespace

class CameraPropertiesTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_rig = std::make_unique<testing_support::LiveRig>();
        m_view = std::make_unique<CDeviceView>(usbSlotStream(1), m_rig->backend.open(m_rig->backend.camera(0).devicePath()),
                                               m_rig->host);
        QVERIFY(m_view->isConnected());
        m_folder = profileFolder(m_rig->host.s.paths.settingsFolder());
    }
    void cleanup()
    {
        m_view.reset();
        m_rig.reset();
    }

    void slidersAndAutomaticBoxesActOnTheStreamingCamera()
    {
        QVERIFY(m_view->stream().isRunning());
        CVideoSettingDlg dialog(*m_view);
        dialog.findChild<QSlider*>(QStringLiteral("1083"))->setValue(40);
        QTRY_COMPARE(valueOf(*m_view, V4L2_CID_BRIGHTNESS), 40);
        QCOMPARE(dialog.findChild<QLineEdit*>(QStringLiteral("1093"))->text(), QStringLiteral(" 40"));

        // White balance is automatic, so its slider rests until the box is cleared.
        auto* automatic = dialog.findChild<QCheckBox*>(QStringLiteral("1128"));
        auto* whiteBalance = dialog.findChild<QSlider*>(QStringLiteral("1087"));
        QVERIFY(automatic->isChecked() && !whiteBalance->isEnabled());
        automatic->setChecked(false);
        QVERIFY(whiteBalance->isEnabled());
        whiteBalance->setValue(3001);  // fitted to the camera's step of 10
        QTRY_COMPARE(valueOf(*m_view, V4L2_CID_WHITE_BALANCE_TEMPERATURE), 3000);
        QCOMPARE(valueOf(*m_view, V4L2_CID_AUTO_WHITE_BALANCE), 0);

        // The other controls, as the camera names them.
        auto* powerLine = dialog.findChild<QComboBox*>();
        QVERIFY(dialog.findChild<QWidget*>(QStringLiteral("otherControls"))->isVisibleTo(&dialog));
        QVERIFY(powerLine);
    }

    void profilesAreSavedChosenAndForgotten()
    {
        testing_support::ScriptedDialogs messages;
        CVideoSettingDlg dialog(*m_view);
        dialog.findChild<QSlider*>(QStringLiteral("1083"))->setValue(30);
        QFile notes(m_folder + QLatin1String("/notes.txt"));
        QVERIFY(QDir().mkpath(m_folder) && notes.open(QIODevice::WriteOnly));
        notes.close();

        answerSaveDialog({QString(), QStringLiteral("Lab 1")});
        dialog.findChild<QPushButton*>(QStringLiteral("190"))->click();
        QCOMPARE(messages.messages, QStringList{QStringLiteral("Can not empty")});
        const QString lab1 = m_folder + QLatin1String("/Lab 1.ini");
        QCOMPARE(platform::readProfileInt(lab1, QStringLiteral("USBProperty"), QStringLiteral("Brightness"), -1), 30);
        QCOMPARE(platform::readProfileString(m_folder + QLatin1String("/default.ini"), QStringLiteral("DefaultProfile"),
                                             QStringLiteral("Path")),
                 lab1);
        QCOMPARE(listProfiles(m_folder), QStringList{QStringLiteral("Lab 1")});  // not default, not notes.txt
        auto* profiles = dialog.findChild<QComboBox*>(QStringLiteral("1091"));
        QCOMPARE(profiles->currentText(), QStringLiteral("Lab 1"));

        // A taken name is refused and the file stays as it was.
        dialog.findChild<QSlider*>(QStringLiteral("1083"))->setValue(-10);
        answerSaveDialog({QStringLiteral("Lab 1")});
        dialog.findChild<QPushButton*>(QStringLiteral("190"))->click();
        QCOMPARE(messages.messages.last(), QStringLiteral("Already exists"));
        QCOMPARE(platform::readProfileInt(lab1, QStringLiteral("USBProperty"), QStringLiteral("Brightness"), -1), 30);

        dialog.chooseProfile(QStringLiteral("Lab 1"));
        QTRY_COMPARE(valueOf(*m_view, V4L2_CID_BRIGHTNESS), 30);
        QVERIFY(dialog.profileNote().isEmpty());

        // The camera forgets on every plug; the chosen profile goes back on.
        m_view->sourceGone();
        QVERIFY(m_view->sourceBack(m_rig->backend.open(m_rig->backend.camera(0).devicePath())));
        m_rig->backend.camera(0).setControl(V4L2_CID_BRIGHTNESS, 0);
        m_view->sourceGone();
        QVERIFY(m_view->sourceBack(m_rig->backend.open(m_rig->backend.camera(0).devicePath())));
        QTRY_COMPARE(m_rig->backend.camera(0).control(V4L2_CID_BRIGHTNESS), 30);

        // Default: the camera's own values, white balance automatic, no profile next time.
        CVideoSettingDlg again(*m_view);
        again.findChild<QCheckBox*>(QStringLiteral("1128"))->setChecked(false);
        again.findChild<QPushButton*>(QStringLiteral("104"))->click();
        QTRY_COMPARE(valueOf(*m_view, V4L2_CID_BRIGHTNESS), 0);
        QTRY_COMPARE(valueOf(*m_view, V4L2_CID_AUTO_WHITE_BALANCE), 1);
        QVERIFY(!QFile::exists(m_folder + QLatin1String("/default.ini")));
        QVERIFY(again.findChild<QComboBox*>(QStringLiteral("1091"))->currentText().isEmpty());
    }

    void aForeignProfileIsFittedAndSaysWhatItLeftOut()
    {
        QVERIFY(QDir().mkpath(m_folder));
        QFile file(m_folder + QLatin1String("/old.ini"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(
            "[USBProperty]\nBrightness=500\nContrast=abc\nWhite Balance, Automatic=0\nWhiteBalance=4605\n"
            "Focus, Absolute=12\nExposure=900\n");
        file.close();
        CVideoSettingDlg dialog(*m_view);
        dialog.chooseProfile(QStringLiteral("old"));
        QTRY_COMPARE(valueOf(*m_view, V4L2_CID_BRIGHTNESS), 64);                   // clamped to the range
        QTRY_COMPARE(valueOf(*m_view, V4L2_CID_WHITE_BALANCE_TEMPERATURE), 4610);  // on the step, once manual
        QCOMPARE(valueOf(*m_view, V4L2_CID_CONTRAST), 32);                         // garbage and missing: untouched
        QCOMPARE(valueOf(*m_view, V4L2_CID_EXPOSURE_ABSOLUTE), 156);               // automatic exposure holds it
        QVERIFY2(dialog.profileNote().contains(QLatin1String("Focus, Absolute")), qPrintable(dialog.profileNote()));
        QVERIFY(dialog.profileNote().contains(QLatin1String("Contrast")));
        QVERIFY(dialog.findChild<QLabel*>(QStringLiteral("profileNote"))->isVisibleTo(&dialog));
    }

    void refusedWhileMeasuringThenSizeAndPrefix()
    {
        testing_support::ScriptedDialogs messages;
        m_view->resize(800, 600);
        m_view->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_view.get()));
        m_view->runCommand(base::cmd::ZoomNormal);
        m_rig->host.m.calibrationName = QStringLiteral("10x");
        m_view->runCommand(base::cmd::ToolLine);
        QTest::mouseClick(m_view->viewport(), Qt::LeftButton, {}, QPoint(50, 50));
        QTest::mouseClick(m_view->viewport(), Qt::LeftButton, {}, QPoint(350, 50));
        QTest::mouseClick(m_view->viewport(), Qt::LeftButton, {}, QPoint(200, 80));
        QVERIFY2(m_view->measurements().size() == 1, qPrintable(messages.messages.join(QLatin1Char('|'))));
        m_view->runCommand(base::cmd::VideoProperty);
        QCOMPARE(messages.messages.value(0), QStringLiteral("Please delete the measurement data first"));
        m_view->runCommand(base::cmd::UndoShape);

        {
            CVideoSettingDlg dialog(*m_view);
            auto* sizes = dialog.findChild<QComboBox*>(QStringLiteral("1072"));
            const int big = sizes->findText(QStringLiteral("1280X1024"));
            QVERIFY(big >= 0);
            sizes->setCurrentIndex(big);
            Q_EMIT sizes->activated(big);
            QCOMPARE(m_view->stream().width(), 1280);
            QCOMPARE(m_view->frameSize(), QSize(1280, 1024));
            dialog.findChild<QLineEdit*>(QStringLiteral("1271"))->setText(QString(30, QLatin1Char('p')));
            dialog.accept();
        }
        QCOMPARE(m_rig->host.s.toggles.imagePrefixSelected, QString(23, QLatin1Char('p')));
    }

    void seriesOnTheLiveWindow()
    {
        testing_support::ScriptedDialogs messages;
        const QString pictures = m_rig->host.s.paths.currentPictureFolder();
        QTRY_VERIFY(m_view->stream().latestFrame().frameArrived);
        auto clock = std::make_shared<testing_support::FakeSeriesClock>(std::chrono::system_clock::now());
        const auto run = [&](const char* count) {
            m_view->openTimer(clock);
            QPointer<CTimerDlg> dialog = m_view->timerDialog();
            dialog->findChild<QLineEdit*>(QStringLiteral("1247"))->setText(QLatin1String(count));
            dialog->findChild<QLineEdit*>(QStringLiteral("1243"))->setText(QStringLiteral("1"));
            dialog->findChild<QPushButton*>(QStringLiteral("1245"))->click();
            return dialog;
        };

        // Twenty pictures a second apart: twenty files, though they share seconds.
        QPointer<CTimerDlg> dialog = run("20");
        QTRY_VERIFY_WITH_TIMEOUT((clock->step(), dialog.isNull()), 10000);
        QTRY_COMPARE(testing_support::filesIn(pictures).size(), qsizetype(20));
        QVERIFY(messages.messages.isEmpty());

        // A full disk ends the series with the reason, once; the pictures stay.
        rlimit saved{};
        getrlimit(RLIMIT_FSIZE, &saved);
        const auto handler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit full = saved;
        full.rlim_cur = 1000;
        setrlimit(RLIMIT_FSIZE, &full);
        dialog = run("5");
        QTRY_VERIFY_WITH_TIMEOUT(!messages.messages.isEmpty(), 10000);
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, handler);
        QVERIFY(dialog && !dialog->seriesRunning());
        QCOMPARE(messages.messages.size(), 1);
        QVERIFY(messages.messages[0].contains(QString::fromLocal8Bit(std::strerror(EFBIG))));
        QCOMPARE(testing_support::filesIn(pictures).size(), qsizetype(20));
    }

private:
    std::unique_ptr<testing_support::LiveRig> m_rig;
    std::unique_ptr<CDeviceView> m_view;
    QString m_folder;
};

QTEST_MAIN(CameraPropertiesTest)
#include "camera_properties_test.moc"
