// The timed-capture dialog: its fields and size estimate, the start time it
// refuses, and a series that asks the view for each picture, counts them and
// closes the dialog; stopping, Exit and the view's stop all end the worker.
#include "capture/ui/CTimerDlg.h"

#include "platform/message_numbers.h"
#include "platform/posted_message.h"

#include "fake_series_clock.h"
#include "sandbox.h"
#include "scripted_dialogs.h"
#include "wait_for.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

using capture::CTimerDlg;
using testing_support::FakeSeriesClock;
using testing_support::waitFor;

namespace {

// The live window's stand-in: counts the timed snapshots it is asked for.
class SnapshotCounter : public QObject {
public:
    int count = 0;

protected:
    void customEvent(QEvent* event) override
    {
        if (static_cast<platform::PostedMessage*>(event)->number() == platform::msg::TimedSnapshot)
            ++count;
    }
};

// 1 June 2030, 12:00:00.400 local time.
const QDateTime kNow(QDate(2030, 6, 1), QTime(12, 0, 0, 400));

}  // namespace

class TimerDialogTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_box = std::make_unique<testing_support::Sandbox>();
        m_dialogs = std::make_unique<testing_support::ScriptedDialogs>();
        m_clock = std::make_shared<FakeSeriesClock>(
            FakeSeriesClock::WallTime(std::chrono::milliseconds(kNow.toMSecsSinceEpoch())));
        m_view = std::make_unique<SnapshotCounter>();
        m_dlg = new CTimerDlg(m_view.get(), QSize(1280, 1024), m_clock);
        m_dlg->show();
    }
    void cleanup()
    {
        delete m_dlg;
        m_view.reset();
        m_dialogs.reset();
        m_box.reset();
    }

    void theFieldsOpenAtTheClocksTime()
    {
        QCOMPARE(edit("1239")->text(), QStringLiteral("2030"));
        QCOMPARE(edit("1237")->text(), QStringLiteral("6"));
        QCOMPARE(edit("1141")->text(), QStringLiteral("1"));
        QCOMPARE(edit("1145")->text(), QStringLiteral("12"));
        QCOMPARE(edit("1143")->text(), QStringLiteral("0"));
        QCOMPARE(edit("1241")->text(), QStringLiteral("0"));
        QCOMPARE(edit("1147")->text(), QStringLiteral("0"));
        QCOMPARE(edit("1243")->text(), QStringLiteral("5"));
        QCOMPARE(edit("1247")->text(), QStringLiteral("3"));
        QCOMPARE(completed(), QStringLiteral("0"));
    }

    void theSizeEstimateShowsTwoDigitsOfHundredths()
    {
        QCOMPARE(edit("1249")->text(), QStringLiteral("  11.25"));
        // 1932 x 1000 x 2 pictures: 11.05 MB, recomputed as the count box is left.
        CTimerDlg other(m_view.get(), QSize(1932, 1000), m_clock);
        QLineEdit* count = other.findChild<QLineEdit*>(QStringLiteral("1247"));
        count->setText(QStringLiteral("2"));
        QFocusEvent out(QEvent::FocusOut);
        QApplication::sendEvent(count, &out);
        QCOMPARE(other.findChild<QLineEdit*>(QStringLiteral("1249"))->text(), QStringLiteral("  11.05"));
    }

    void aFieldOutOfRangeIsNamedWithItsRange()
    {
        edit("1237")->setText(QStringLiteral("13"));
        button("1245")->click();
        QCOMPARE(m_dialogs->messages.size(), 1);
        const QString message = m_dialogs->messages.first();
        QVERIFY2(message.contains(QLatin1String("Mon")) && message.contains(QLatin1String(" 1 "))
                     && message.contains(QLatin1String("12")),
                 qPrintable(message));
        QVERIFY(!m_dlg->seriesRunning());
    }

    void aStartTimeBeforeNowIsRefused()
    {
        edit("1145")->setText(QStringLiteral("11"));
        edit("1143")->setText(QStringLiteral("59"));
        edit("1241")->setText(QStringLiteral("59"));
        button("1245")->click();
        QCOMPARE(m_dialogs->messages, QStringList{QStringLiteral("The time of your setting must be a future time!")});
        QVERIFY(!m_dlg->seriesRunning());
        QCOMPARE(button("1245")->text(), QStringLiteral("Start"));
    }

    // The fields as they opened: now, to the second, at 5 s for 3 pictures.
    void aSeriesAsksTheViewForEachPictureAndCloses()
    {
        QPointer<CTimerDlg> dlg = m_dlg;
        button("1245")->click();
        QVERIFY(m_dialogs->messages.isEmpty());
        QCOMPARE(button("1245")->text(), QStringLiteral("Stop"));
        QVERIFY(waitFor([&] { return m_view->count == 1; }));
        QCOMPARE(completed(), QStringLiteral("1"));
        QVERIFY(waitFor([&] {
            m_clock->step();
            return dlg.isNull();
        }));
        QCOMPARE(m_view->count, 3);
    }

    void stopEndsTheSeriesAndClearsTheCount()
    {
        button("1245")->click();
        QVERIFY(waitFor([&] { return m_view->count == 1; }));
        button("1245")->click();
        QCOMPARE(button("1245")->text(), QStringLiteral("Start"));
        QCOMPARE(completed(), QStringLiteral("0"));
        expectNoMorePictures();
    }

    void exitWhileRunningEndsTheWorkerAndCloses()
    {
        QPointer<CTimerDlg> dlg = m_dlg;
        button("1245")->click();
        QVERIFY(waitFor([&] { return m_view->count == 1; }));
        button("2")->click();
        // Joined before the click returns: no worker is left waiting.
        QVERIFY(!m_clock->waitingUntil());
        QVERIFY(!dlg->seriesRunning());
        QVERIFY(waitFor([&] { return dlg.isNull(); }));
        expectNoMorePictures();
    }

    void theViewStopsTheSeriesWithItsReason()
    {
        button("1245")->click();
        QVERIFY(waitFor([&] { return m_view->count == 1; }));
        m_dlg->stopSeries(QStringLiteral("The disk is full."));
        QCOMPARE(m_dialogs->messages, QStringList{QStringLiteral("The disk is full.")});
        QCOMPARE(button("1245")->text(), QStringLiteral("Start"));
        QCOMPARE(completed(), QStringLiteral("1"));
        expectNoMorePictures();
    }

    void destroyingTheDialogEndsItsWorker()
    {
        button("1245")->click();
        QVERIFY(waitFor([&] { return m_view->count == 1; }));
        QVERIFY(m_clock->awaitWaiter([] { return false; }));
        delete m_dlg;
        QVERIFY(!m_clock->waitingUntil());
        expectNoMorePictures();
    }

private:
    QLineEdit* edit(const char* id) const { return m_dlg->findChild<QLineEdit*>(QLatin1String(id)); }
    QPushButton* button(const char* id) const { return m_dlg->findChild<QPushButton*>(QLatin1String(id)); }
    QString completed() const { return m_dlg->findChild<QLabel*>(QStringLiteral("1164"))->text(); }

    // A minute goes by and nothing more is asked of the view.
    void expectNoMorePictures()
    {
        const int before = m_view->count;
        m_clock->advance(std::chrono::minutes(1));
        QCoreApplication::processEvents();
        QCOMPARE(m_view->count, before);
    }

    std::unique_ptr<testing_support::Sandbox> m_box;
    std::unique_ptr<testing_support::ScriptedDialogs> m_dialogs;
    std::shared_ptr<FakeSeriesClock> m_clock;
    std::unique_ptr<SnapshotCounter> m_view;
    QPointer<CTimerDlg> m_dlg;
};

QTEST_MAIN(TimerDialogTest)
#include "timer_dialog_test.moc"
