// The player window with libvlc playing real clips, headless.
#include "reelix/core/clip_player.h"
#include "reelix/core/window_layout.h"
#include "reelix/ui/CVlcDialogDlg.h"
#include "reelix/ui/VideoArea.h"

#include "sandbox.h"
#include "test_clips.h"

#include "capture/core/clip_repair.h"
#include "wait_for.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QThread>
#include <QTimer>
#include <QtTest>

#include <memory>

using namespace reelix;
using testing_support::waitFor;

namespace {

// No sound card in the tests.
const QStringList kTestOptions{QStringLiteral("--no-audio")};

QAbstractButton* button(CVlcDialogDlg& window, const char* id)
{
    return window.findChild<QAbstractButton*>(QLatin1String(id));
}

void press(CVlcDialogDlg& window, const char* id)
{
    QTest::mouseClick(button(window, id), Qt::LeftButton);
}

}  // namespace

class PlayerWindowTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<testing_support::Sandbox> m_box;
    QString m_short, m_shortRaw, m_minute, m_hour, m_cut, m_notVideo, m_textAvi, m_headerCut, m_named;

    QString clip(const QString& name) const { return m_box->path() + QLatin1Char('/') + name; }

private Q_SLOTS:
    void initTestCase()
    {
        m_box = std::make_unique<testing_support::Sandbox>();
        m_short = clip(QStringLiteral("short.avi"));
        m_shortRaw = clip(QStringLiteral("short-raw.avi"));
        m_minute = clip(QStringLiteral("minute.avi"));
        m_hour = clip(QStringLiteral("hour.avi"));
        m_cut = clip(QStringLiteral("cut.avi"));
        m_notVideo = clip(QStringLiteral("tmpExcel.xls"));
        m_textAvi = clip(QStringLiteral("notes.avi"));
        m_headerCut = clip(QStringLiteral("header-cut.avi"));
        m_named = clip(QStringLiteral("\u986f\u5fae\u93e1 \u00e9t\u00e9.avi"));
        QVERIFY(testing_support::writeRecordedClip(m_short, 20, true));      // 4 s
        QVERIFY(testing_support::writeRecordedClip(m_shortRaw, 20, false));  // 4 s
        QVERIFY(testing_support::writeRecordedClip(m_minute, 305, true));    // 61 s
        QVERIFY(testing_support::writeRecordedClip(m_named, 20, true, QColor(30, 40, 220)));
        QVERIFY(testing_support::writeLongClip(m_hour, 3723));  // 1 h 2 min 3 s
        QVERIFY(testing_support::writeRecordedClip(clip(QStringLiteral("whole.avi")), 50, true));
        QVERIFY(testing_support::writeCutShort(clip(QStringLiteral("whole.avi")), m_cut, 60));
        QFile whole(clip(QStringLiteral("whole.avi")));
        QVERIFY(whole.open(QIODevice::ReadOnly));
        testing_support::writeFile(m_headerCut, whole.read(100));  // cut inside its header
        testing_support::writeFile(m_textAvi, QByteArray("Measurements of sample 7, renamed to .avi\n").repeated(200));
        // A workbook: a compound file's signature, then its sectors.
        testing_support::writeFile(m_notVideo,
                                   QByteArray::fromHex("d0cf11e0a1b11ae1") + QByteArray(504, '\0')
                                       + QByteArray("Workbook measurements\n").repeated(400));
    }

    void cleanupTestCase() { m_box.reset(); }

    void opensIdleWithTheWindowsControls()
    {
        CVlcDialogDlg window(kTestOptions);
        window.show();
        QVERIFY(window.player().isAvailable());
        QCOMPARE(window.windowTitle(), QStringLiteral("Reelix"));
        QCOMPARE(window.size(), kInitialClientSize);
        QCOMPARE(window.minimumSize(), kInitialClientSize);
        QCOMPARE(window.timeLabel()->text(), QStringLiteral("[00:00:00/00:00:00]"));
        QCOMPARE(window.slider()->minimum(), 0);
        QCOMPARE(window.slider()->maximum(), 100);
        QCOMPARE(window.slider()->value(), 0);
        QCOMPARE(window.videoArea()->geometry(), QRect(2, 1, 589, 410));
        QCOMPARE(window.findChild<QGroupBox*>(QStringLiteral("1012"))->geometry(), QRect(5, 410, 585, 60));
        QCOMPARE(window.slider()->geometry(), QRect(210, 425, 375, 20));
        const char* ids[] = {"1005", "1002", "1004", "1003"};
        for (int i = 0; i < 4; ++i)
            QCOMPARE(button(window, ids[i])->pos(), QPoint(kButtonLefts[i], kButtonTop));
        QCOMPARE(window.player().state(), ClipPlayer::State::Idle);
    }

    void enlargingMovesTheWholeControlStrip()
    {
        CVlcDialogDlg window(kTestOptions);
        window.show();
        window.resize(kInitialClientSize + QSize(200, 120));
        const WindowLayout expected = layoutFor(kInitialClientSize + QSize(200, 120));
        QCOMPARE(window.videoArea()->geometry(), expected.videoArea);
        QCOMPARE(window.findChild<QGroupBox*>(QStringLiteral("1012"))->geometry(), expected.groupFrame);
        QCOMPARE(window.slider()->geometry(), expected.slider);
        QCOMPARE(expected.controlsShift, QPoint(100, 120));
        QCOMPARE(button(window, "1003")->pos(), QPoint(kButtonLefts[3], kButtonTop) + expected.controlsShift);
        QCOMPARE(window.timeLabel()->geometry(), kTimeLabelRect.translated(expected.controlsShift));
        // Nothing of the strip lies on the picture.
        QVERIFY(!button(window, "1003")->geometry().intersects(window.videoArea()->geometry()));
        QVERIFY(!window.timeLabel()->geometry().intersects(window.videoArea()->geometry()));
    }

    void recordedClipsPlayToTheirEnd_data()
    {
        QTest::addColumn<bool>("compressed");
        QTest::newRow("compressed") << true;
        QTest::newRow("uncompressed") << false;
    }
    void recordedClipsPlayToTheirEnd()
    {
        QFETCH(bool, compressed);
        CVlcDialogDlg window(kTestOptions);
        window.show();
        window.openClip(compressed ? m_short : m_shortRaw);

        // The pictures arrive in their colours (red stays red) at the clip's size.
        QVERIFY(waitFor([&] { return !window.videoArea()->frame().isNull(); }));
        const QImage frame = window.videoArea()->frame();
        QCOMPARE(frame.size(), QSize(64, 48));
        const QColor centre = frame.pixelColor(32, 24);
        QVERIFY2(centre.red() > 150 && centre.blue() < 90, qPrintable(centre.name()));

        QVERIFY(waitFor([&] { return window.timeLabel()->text().endsWith(QLatin1String("/00:00:04]")); }));
        QVERIFY(qAbs(window.player().length() - 4000) <= 200);

        // At the end the slider and the label show it; Play starts again.
        QVERIFY(waitFor([&] { return window.slider()->value() == 100; }, 15000));
        QCOMPARE(window.timeLabel()->text(), QStringLiteral("[00:00:04/00:00:04]"));
        QCOMPARE(window.player().state(), ClipPlayer::State::Ended);
        press(window, "1002");
        QVERIFY(waitFor([&] { return window.player().state() == ClipPlayer::State::Playing; }));
        QVERIFY(waitFor([&] { return window.slider()->value() < 100; }));
    }

    void timeReportsArriveOnTheGuiThread()
    {
        CVlcDialogDlg window(kTestOptions);
        int reports = 0, offThread = 0;
        connect(
            &window.player(), &ClipPlayer::timeChanged, this,
            [&] {
                ++reports;
                offThread += QThread::currentThread() != thread();
            },
            Qt::DirectConnection);
        window.openClip(m_short);
        QVERIFY(waitFor([&] { return reports >= 3; }));
        QCOMPARE(offThread, 0);
    }

    void aNonLatinPathPlays()
    {
        CVlcDialogDlg window(kTestOptions);
        window.openClip(m_named);
        QVERIFY(waitFor([&] { return !window.videoArea()->frame().isNull(); }));
        QVERIFY(window.videoArea()->frame().pixelColor(32, 24).blue() > 150);
    }

    void seekingToHalfOfA61SecondClipGoesTo30500()
    {
        CVlcDialogDlg window(kTestOptions);
        window.show();
        window.openClip(m_minute);
        QVERIFY(waitFor([&] { return window.timeLabel()->text().endsWith(QLatin1String("/00:01:01]")); }));
        press(window, "1004");
        QVERIFY(waitFor([&] { return window.player().state() == ClipPlayer::State::Paused; }));

        window.slider()->setSliderPosition(50);  // what a drag does
        QVERIFY(waitFor([&] { return window.player().time() >= 30000; }));
        QVERIFY2(qAbs(window.player().time() - 30500) <= 200, qPrintable(QString::number(window.player().time())));
    }

    void aClipOfAnHourAt30SecondsShowsItsLength()
    {
        CVlcDialogDlg window(kTestOptions);
        window.show();
        window.openClip(m_hour);
        QVERIFY(waitFor([&] { return window.timeLabel()->text().endsWith(QLatin1String("/01:02:03]")); }));
        window.player().setTime(30000);
        QVERIFY(waitFor([&] { return window.timeLabel()->text() == QLatin1String("[00:00:30/01:02:03]"); }));
        QCOMPARE(window.slider()->value(), 0);
    }

    void arrowKeysSeekAHundredthAndTheLabelFollowsAlsoWhilePaused()
    {
        CVlcDialogDlg window(kTestOptions);
        window.show();
        window.openClip(m_hour);
        QVERIFY(waitFor([&] { return window.timeLabel()->text().endsWith(QLatin1String("/01:02:03]")); }));
        press(window, "1004");
        QVERIFY(waitFor([&] { return window.player().state() == ClipPlayer::State::Paused; }));

        window.slider()->setFocus();
        QTest::keyClick(window.slider(), Qt::Key_Right);
        QCOMPARE(window.slider()->value(), 1);
        QCOMPARE(window.timeLabel()->text(), QStringLiteral("[00:00:37/01:02:03]"));
        QVERIFY(waitFor([&] { return window.player().time() >= 37000; }));
        QVERIFY(window.player().time() < 39000);
    }

    void stopPutsTheSliderToZeroAndPlayMovesItAgain()
    {
        CVlcDialogDlg window(kTestOptions);
        window.show();
        window.openClip(m_minute);
        QVERIFY(waitFor([&] { return window.timeLabel()->text().endsWith(QLatin1String("/00:01:01]")); }));
        window.slider()->setSliderPosition(60);
        QVERIFY(waitFor([&] { return window.slider()->value() >= 60; }));

        // Reports of the run are still on their way when Stop comes; they
        // change nothing after it.
        QThread::msleep(400);
        window.onStop();
        QCOMPARE(window.slider()->value(), 0);
        QCOMPARE(window.timeLabel()->text(), QStringLiteral("[00:00:00/00:00:00]"));
        QTest::qWait(300);
        QCOMPARE(window.slider()->value(), 0);
        QCOMPARE(window.timeLabel()->text(), QStringLiteral("[00:00:00/00:00:00]"));
        QCOMPARE(window.player().state(), ClipPlayer::State::Stopped);

        press(window, "1002");
        QVERIFY(waitFor([&] { return window.timeLabel()->text().endsWith(QLatin1String("/00:01:01]")); }));
        window.slider()->setSliderPosition(30);
        QVERIFY(waitFor([&] { return window.slider()->value() >= 30 && window.player().time() > 17000; }));
    }

    void stopWhileReportsAreOnTheirWayNeverHangs()
    {
        CVlcDialogDlg window(kTestOptions);
        window.show();
        window.openClip(m_short);
        for (int i = 0; i < 8; ++i) {
            int reports = 0;
            const auto c = connect(&window.player(), &ClipPlayer::timeChanged, this, [&] { ++reports; });
            press(window, "1002");
            QVERIFY(waitFor([&] { return reports > 0; }));
            press(window, "1003");
            disconnect(c);
        }
        QCOMPARE(window.slider()->value(), 0);
    }

    void spaceTogglesPause()
    {
        CVlcDialogDlg window(kTestOptions);
        window.show();
        window.openClip(m_minute);
        QVERIFY(waitFor([&] { return window.player().state() == ClipPlayer::State::Playing; }));
        QTest::keyClick(&window, Qt::Key_Space);
        QVERIFY(waitFor([&] { return window.player().state() == ClipPlayer::State::Paused; }));
        QTest::keyClick(&window, Qt::Key_Space);
        QVERIFY(waitFor([&] { return window.player().state() == ClipPlayer::State::Playing; }));
    }

    void aClipCutShortPlaysWhatItHas()
    {
        CVlcDialogDlg window(kTestOptions);
        window.openClip(m_cut);
        QVERIFY(waitFor([&] { return !window.videoArea()->frame().isNull(); }));
        QVERIFY(waitFor([&] { return window.player().time() >= 1000; }));
        // It ends where the file ends, not in an error.
        QVERIFY(waitFor([&] { return window.player().state() == ClipPlayer::State::Ended; }, 15000));
    }

    void aRepairedClipPlaysToItsEnd()
    {
        // What the next start makes of a recording cut short: a whole clip
        // with its index, which plays to its end and shows its length.
        const QString repaired = clip(QStringLiteral("repaired.avi"));
        QVERIFY(testing_support::writeCutShort(clip(QStringLiteral("whole.avi")), repaired, 60));
        QCOMPARE(capture::inspectClip(repaired), capture::ClipCondition::Unfinished);
        uint32_t frames = 0;
        QVERIFY(capture::repairClip(repaired, &frames));
        QVERIFY(frames >= 20 && frames < 50);
        CVlcDialogDlg window(kTestOptions);
        window.show();
        window.openClip(repaired);
        QVERIFY(waitFor([&] { return window.player().state() == ClipPlayer::State::Ended; }, 20000));
        QCOMPARE(window.slider()->value(), 100);
        // libvlc gives an AVI's length in whole seconds.
        QVERIFY2(window.player().length() <= qint64(frames) * 200 && window.player().length() > qint64(frames) * 200 - 1000,
                 qPrintable(QStringLiteral("%1 ms for %2 frames").arg(window.player().length()).arg(frames)));
        QVERIFY(window.timeLabel()->text().startsWith(QLatin1String("[00:00:0")));
    }

    void aFileThatCannotBePlayedSaysWhyAndOpenStillWorks_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("reason");
        QTest::newRow("workbook") << m_notVideo << "it is not a video file Reelix can read";
        QTest::newRow("text renamed .avi") << m_textAvi << "it is not a video file Reelix can read";
        QTest::newRow("header cut") << m_headerCut << "the file ends inside its header";
    }
    void aFileThatCannotBePlayedSaysWhyAndOpenStillWorks()
    {
        QFETCH(QString, file);
        QFETCH(QString, reason);
        CVlcDialogDlg window(kTestOptions);
        window.show();
        window.openClip(m_short);  // what was on show before goes
        QVERIFY(waitFor([&] { return !window.videoArea()->frame().isNull(); }));
        int ends = 0, failures = 0;
        connect(&window.player(), &ClipPlayer::endReached, this, [&] { ++ends; });
        connect(&window.player(), &ClipPlayer::failed, this, [&] { ++failures; });
        window.openClip(file);
        QVERIFY(waitFor([&] { return ends + failures > 0; }));
        QTest::qWait(1000);
        QVERIFY(ends + failures <= 1);
        QVERIFY(window.videoArea()->frame().isNull());
        QCOMPARE(window.videoArea()->message(), QStringLiteral("This clip cannot be played: ") + reason);
        QCOMPARE(window.slider()->value(), 0);
        QCOMPARE(window.timeLabel()->text(), QStringLiteral("[00:00:00/00:00:00]"));

        // Open, as the user goes on: the file dialog, then a clip that plays.
        QTimer chooser;
        connect(&chooser, &QTimer::timeout, this, [&] {
            if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
                if (auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
                    name->setText(m_short);
                QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
            }
        });
        chooser.start(50);
        press(window, "1005");
        QVERIFY(waitFor([&] { return !window.videoArea()->frame().isNull(); }));
        QVERIFY(window.videoArea()->message().isEmpty());
        QCOMPARE(window.player().clipPath(), m_short);
    }

    void f1ShowsTheAboutBox()
    {
        CVlcDialogDlg window(kTestOptions);
        window.show();
        QString title;
        QTimer::singleShot(0, this, [&] {
            if (QWidget* box = QApplication::activeModalWidget()) {
                title = box->windowTitle();
                box->close();
            }
        });
        QTest::keyClick(&window, Qt::Key_F1);
        QCOMPARE(title, QStringLiteral("About Reelix"));
        QVERIFY(window.isVisible());
    }

    void escapeClosesAndStopsEnterDoesNothing()
    {
        CVlcDialogDlg window(kTestOptions);
        window.show();
        window.openClip(m_minute);
        QVERIFY(waitFor([&] { return window.player().state() == ClipPlayer::State::Playing; }));
        QTest::keyClick(&window, Qt::Key_Return);
        QTest::keyClick(&window, Qt::Key_Enter);
        QVERIFY(window.isVisible());
        QTest::keyClick(&window, Qt::Key_Escape);
        QVERIFY(!window.isVisible());
        QCOMPARE(window.player().state(), ClipPlayer::State::Stopped);
    }
};

QTEST_MAIN(PlayerWindowTest)
#include "player_window_test.moc"
