// Every open picture and live window follows the measurement settings and
// the calibration at once, not only the window in front.
#include "app_run.h"

#include "base/command_ids.h"

#include "capture/device/live_stream.h"
#include "capture/ui/CDeviceView.h"

#include "measure/core/shapes.h"
#include "measure/ui/CMeasurementSettingDlg.h"
#include "measure/ui/CalibrationMenu.h"
#include "measure/ui/ShapeHost.h"

#include "picture/ui/CScoparaView.h"

#include "scripted_dialogs.h"

#include <QAction>
#include <QComboBox>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTimer>
#include <QtTest>

using namespace shell;
using namespace base;

namespace {

QString pictureFile(const testing_support::Sandbox& box)
{
    QImage img(320, 240, QImage::Format_RGB888);
    img.fill(QColor(40, 40, 40));
    const QString path = box.path() + QLatin1String("/specimen.bmp");
    img.save(path, "BMP");
    return path;
}

bool isRed(QRgb c)
{
    return qRed(c) > 200 && qGreen(c) < 80 && qBlue(c) < 80;
}

// How many pixels of column x, rows y0 to y1, are the measurement's red.
int redRun(const QImage& img, int x, int y0, int y1)
{
    int n = 0;
    for (int y = y0; y <= y1; ++y)
        n += isRed(img.pixel(x, y)) ? 1 : 0;
    return n;
}

// The settings dialog, opened from the main window, makes lines 5 pixels wide.
void widenLinesToFive(testing_support::AppRun& run)
{
    QTimer::singleShot(0, [] {
        auto* dlg = qobject_cast<measure::CMeasurementSettingDlg*>(QApplication::activeModalWidget());
        QVERIFY(dlg);
        dlg->list(measure::CMeasurementSettingDlg::LineWidth)->setCurrentText(QStringLiteral("5"));
        dlg->accept();
    });
    run.action(base::cmd::MeasureProperty)->trigger();
}

// The main window shown at a desktop's size.
void showLarge(testing_support::AppRun& run)
{
    run.frame().resize(1200, 900);
    run.frame().show();
}

}  // namespace

class MeasureFollowTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void noCalibrationPutsAwayTheToolsOfEveryWindow()
    {
        testing_support::Sandbox box;
        testing_support::ScriptedDialogs dialogs;
        testing_support::AppRun run(box);
        run.app->measure().calibrationName = QStringLiteral("x10");
        picture::CScoparaView* picture = run.frame().openPicture(pictureFile(box));
        capture::CDeviceView* live = run.frame().openUsbSlot(1);
        QVERIFY(picture && live && live->isConnected());
        picture->runCommand(cmd::ToolLine);
        live->runCommand(cmd::ToolLine);
        QCOMPARE(picture->shapeHost().tool(), int(measure::ToolLine));
        QCOMPARE(live->document().toolCode(), int(measure::ToolLine));

        // No calibration, chosen in the window in front (the live one).
        QCOMPARE(run.frame().mdiArea()->activeSubWindow()->widget(), live);
        live->runCommand(measure::NoCalibration);
        QCoreApplication::sendPostedEvents();
        QVERIFY(!run.app->measure().isCalibrated());
        QCOMPARE(live->document().toolCode(), 0);
        QCOMPARE(picture->shapeHost().tool(), int(measure::ToolNone));
    }

    // The measuring commands are one table: the picture and the live window
    // answer them alike.
    void theMeasuringCommandsAnswerAlikeInEveryWindow()
    {
        testing_support::Sandbox box;
        testing_support::ScriptedDialogs dialogs;
        testing_support::AppRun run(box);
        picture::CScoparaView* picture = run.frame().openPicture(pictureFile(box));
        capture::CDeviceView* live = run.frame().openUsbSlot(1);
        QVERIFY(picture && live && live->isConnected());
        const std::vector<std::pair<const char*, measure::MeasuringWindow*>> windows{{"picture", picture}, {"live", live}};
        for (const auto& [name, window] : windows) {
            auto* target = dynamic_cast<CommandTarget*>(window);
            QVERIFY2(target, name);
            const auto checked = [target](int id) {
                CommandState state;
                target->updateCommand(id, state);
                return state.checkable && state.checked;
            };
            run.app->measure().calibrationName.clear();
            dialogs.messages.clear();

            // Without a calibration only Add Text is taken.
            target->runCommand(cmd::ToolLine);
            QVERIFY2(window->measuringTool() == measure::ToolNone, name);
            QVERIFY2(dialogs.messages == QStringList{QStringLiteral("Please Calibrate first")}, name);
            QVERIFY2(!checked(cmd::ToolLine), name);
            target->runCommand(cmd::ToolText);
            QVERIFY2(window->measuringTool() == measure::ToolText && checked(cmd::ToolText), name);

            // Another tool takes over; the active one chosen again is put away.
            run.app->measure().calibrationName = QStringLiteral("x10");
            target->runCommand(cmd::ToolLine);
            QVERIFY2(window->measuringTool() == measure::ToolLine && checked(cmd::ToolLine) && !checked(cmd::ToolText), name);
            target->runCommand(cmd::ToolLine);
            QVERIFY2(window->measuringTool() == measure::ToolNone && !checked(cmd::ToolLine), name);
            QVERIFY2(dialogs.messages.size() == 1, name);
        }
    }

    void aNewLineWidthReachesTheLivePictureAtOnce()
    {
        testing_support::Sandbox box;
        testing_support::ScriptedDialogs dialogs;
        testing_support::AppRun run(box);
        showLarge(run);
        capture::CDeviceView* live = run.frame().openUsbSlot(1);
        QVERIFY(live && live->isConnected());
        live->runCommand(cmd::ZoomNormal);
        live->runCommand(cmd::Crosshair);  // drawn with the measurement colour and line width
        const auto crosshairWidth = [live] {
            const QImage* shown = live->stream().mailbox().latest();
            return shown ? redRun(*shown, 5, 0, shown->height() - 1) : 0;
        };
        QTRY_VERIFY(crosshairWidth() >= 1);
        QVERIFY(crosshairWidth() <= 2);

        // Nothing else happens in the live window.
        widenLinesToFive(run);
        QCOMPARE(run.app->measure().lineWidth, 5);
        QTRY_VERIFY(crosshairWidth() >= 4);
    }

    // A picture window behind a live one repaints with the new settings as
    // soon as they change, not when it is next brought to the front.
    void aNewLineWidthRepaintsAPictureWindowBehind()
    {
        testing_support::Sandbox box;
        testing_support::ScriptedDialogs dialogs;
        testing_support::AppRun run(box);
        showLarge(run);
        picture::CScoparaView* picture = run.frame().openPicture(pictureFile(box));
        QVERIFY(picture);
        auto line = measure::makeShape(measure::ToolLine, Qt::red, Qt::red, {}, QSize(320, 240),
                                       {{20, 60}, {300, 60}, {160, 200}}, 1, 1);
        line->inProgress = 0;
        picture->document().shapes().append(std::move(line));
        capture::CDeviceView* live = run.frame().openUsbSlot(1);
        QVERIFY(live && live->isConnected());
        QCOMPARE(run.frame().mdiArea()->activeSubWindow()->widget(), live);

        struct PaintCounter : QObject {
            int paints = 0;
            bool eventFilter(QObject*, QEvent* e) override
            {
                paints += e->type() == QEvent::Paint ? 1 : 0;
                return false;
            }
        } counter;
        QWidget* viewport = picture->viewport();
        const QPoint across = picture->mapping().mapToView(measure::Point2d{40, 60}).toPoint();
        const auto lineWidth = [viewport, across] {
            return redRun(viewport->grab().toImage(), across.x(), std::max(0, across.y() - 10), across.y() + 10);
        };
        QVERIFY(lineWidth() >= 1 && lineWidth() <= 2);
        QTest::qWait(50);
        viewport->installEventFilter(&counter);

        widenLinesToFive(run);
        QTRY_VERIFY(counter.paints > 0);
        QVERIFY(lineWidth() >= 4);
    }
};

QTEST_MAIN(MeasureFollowTest)
#include "measure_follow_test.moc"
