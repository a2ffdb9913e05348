// The same clicks on a picture window and on a live window showing a frame of
// the same size measure the same: for each of the twelve tools, at several
// zooms, with unequal zoom across and down and with the views scrolled, the
// two windows of the program give the same values, labels and workbook rows.
#include "app_run.h"
#include "same_clicks.h"
#include "scripted_dialogs.h"
#include "stand_in_camera.h"

#include "base/command_ids.h"
#include "base/command_tables.h"
#include "base/command_target.h"

#include "capture/ui/CDeviceView.h"

#include "measure/core/export_rows.h"
#include "measure/core/measure_state.h"
#include "measure/core/shape_list.h"
#include "measure/core/video_shape.h"
#include "measure/ui/MeasureCommands.h"
#include "measure/ui/ZoomedImageView.h"

#include "picture/ui/CScoparaView.h"

#include <QImage>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QtTest>

#include <cmath>

using testing_support::ToolClicks;

namespace {

// Both windows are this big, smaller than the frame at zoom 2.
constexpr QSize kWindow(720, 540);

int commandOf(int tool)
{
    for (const base::ToolCommand& c : base::measuringToolCommands()) {
        if (c.toolCode == tool)
            return c.id;
    }
    return 0;
}

// Where a picture pixel shows in the view, rounded to a whole view pixel as a
// mouse position is.
QPoint viewPosition(const measure::ZoomedImageView& view, QPoint picture)
{
    const QPointF at = view.mapping().mapToView(measure::Point2d{double(picture.x()), double(picture.y())});
    return {static_cast<int>(std::lround(at.x())), static_cast<int>(std::lround(at.y()))};
}

void click(QWidget* viewport, Qt::MouseButton button, QPoint at)
{
    QTest::mousePress(viewport, button, Qt::NoModifier, at);
    QTest::mouseRelease(viewport, button, Qt::NoModifier, at);
}

// Types into the text box Add Text opened under its first click.
bool typeText(measure::ZoomedImageView& view)
{
    auto* box = view.viewport()->findChild<QPlainTextEdit*>(QStringLiteral("36865"));
    if (!box)
        return false;
    QTest::keyClicks(box, QStringLiteral("cell wall"));
    return true;
}

// A saved picture takes each point as the button is released; its polyline
// and polygon end with a right click after their vertices.
bool clickOnPicture(measure::ZoomedImageView& view, const ToolClicks& t, QPoint shift)
{
    QWidget* viewport = view.viewport();
    for (size_t i = 0; i < t.points.size(); ++i) {
        const QPoint at = viewPosition(view, t.points[i] + shift);
        QTest::mouseMove(viewport, at);
        if (t.rightClickBeforeLast && i + 1 == t.points.size())
            click(viewport, Qt::RightButton, at);
        click(viewport, Qt::LeftButton, at);
        if (t.tool == measure::ToolText && i == 0 && !typeText(view))
            return false;
    }
    return true;
}

// A live picture takes each point as the button goes down; a right click
// sets a polyline's last vertex and closes a polygon after its last one.
bool clickOnLive(measure::ZoomedImageView& view, const ToolClicks& t, QPoint shift)
{
    QWidget* viewport = view.viewport();
    for (size_t i = 0; i < t.points.size(); ++i) {
        const QPoint at = viewPosition(view, t.points[i] + shift);
        const bool lastVertex = t.rightClickBeforeLast && i + 2 == t.points.size();
        QTest::mouseMove(viewport, at);
        if (lastVertex && t.tool == measure::ToolContinualLine) {
            click(viewport, Qt::RightButton, at);
            continue;
        }
        click(viewport, Qt::LeftButton, at);
        if (lastVertex)
            click(viewport, Qt::RightButton, at);
        if (t.tool == measure::ToolText && i == 0 && !typeText(view))
            return false;
    }
    return true;
}

QString pointsText(const measure::Figure& f)
{
    QStringList out;
    for (const measure::Point2d& p : f.points)
        out << QStringLiteral("(%1,%2)").arg(p.x).arg(p.y);
    return out.join(QLatin1Char(' '));
}

QString valuesText(const measure::MeasuredValues& v)
{
    return QStringLiteral("length %1 radius %2 radius2 %3 angle %4 perimeter %5 area %6 centre (%7,%8) centre2 (%9,%10) %11")
        .arg(v.length, 0, 'g', 17)
        .arg(v.radius, 0, 'g', 17)
        .arg(v.radius2, 0, 'g', 17)
        .arg(v.angle, 0, 'g', 17)
        .arg(v.perimeter, 0, 'g', 17)
        .arg(v.area, 0, 'g', 17)
        .arg(v.centre.x)
        .arg(v.centre.y)
        .arg(v.centre2.x)
        .arg(v.centre2.y)
        .arg(v.exists ? QStringLiteral("exists") : QStringLiteral("none"));
}

}  // namespace

class WindowsMeasureAlikeTest : public QObject {
    Q_OBJECT

private:
    // What differs between the picture window's shape and the live window's
    // record of the same clicks; empty when nothing does.
    static QStringList differences(const ToolClicks& t, picture::CScoparaView& picture, capture::CDeviceView& live,
                                   const measure::MeasureState& settings)
    {
        const measure::ShapeList& shapes = picture.document().shapes();
        const measure::VideoShapeList& records = live.measurements();
        if (shapes.size() != 1 || records.size() != 1)
            return {QStringLiteral("%1 shapes in the picture window, %2 records in the live one")
                        .arg(shapes.size())
                        .arg(records.size())};
        measure::CShape& shape = shapes.at(0);
        const measure::CVideoShap& record = *records[0];
        QStringList out;
        const auto expect = [&out](bool same, const QString& what, const QString& onPicture, const QString& onLive) {
            if (!same)
                out << QStringLiteral("%1: picture %2, live %3").arg(what, onPicture, onLive);
        };
        const measure::Figure p = shape.figure();
        const measure::Figure l = record.figure();
        expect(l.kind == p.kind, QStringLiteral("kind"), QString::number(p.kind), QString::number(l.kind));
        expect(pointsText(l) == pointsText(p), QStringLiteral("points"), pointsText(p), pointsText(l));
        expect(l.text == p.text, QStringLiteral("text"), p.text, l.text);
        expect(valuesText(l.measured()) == valuesText(p.measured()), QStringLiteral("values"), valuesText(p.measured()),
               valuesText(l.measured()));
        if (t.tool == measure::ToolText)
            return out;
        const QStringList pictureLabels = testing_support::labelTexts(shape.labels(settings));
        const QStringList liveLabels = testing_support::labelTexts(testing_support::recordLabels(record, settings));
        expect(liveLabels == pictureLabels, QStringLiteral("labels"), pictureLabels.join(QLatin1Char(' ')),
               liveLabels.join(QLatin1Char(' ')));
        const std::vector<measure::ExportMeasurement> pictureRows = picture.exportSource().measurements();
        const std::vector<measure::ExportMeasurement> liveRows = live.exportSource().measurements();
        const QString rows = testing_support::workbookDifference(t.tool, pictureRows, liveRows, settings);
        if (!rows.isEmpty())
            out << QStringLiteral("workbook: ") + rows;
        if (t.tool == measure::ToolArc) {
            // Three quarters of a turn, everywhere.
            expect(std::abs(p.measured().angle - 270.0) < 1e-4 && std::abs(l.measured().angle - 270.0) < 1e-4,
                   QStringLiteral("arc sweep"), QString::number(p.measured().angle), QString::number(l.measured().angle));
            expect(pictureLabels.contains(QStringLiteral("2+<:270.000°")), QStringLiteral("arc label"),
                   pictureLabels.join(QLatin1Char(' ')), liveLabels.join(QLatin1Char(' ')));
            const QString liveCell = liveRows.empty() ? QString()
                                                      : measure::workbookCell(liveRows[0], measure::ColAngle, settings);
            expect(liveCell == QStringLiteral("270.0"), QStringLiteral("arc in the workbook"), QStringLiteral("270.0"), liveCell);
        }
        return out;
    }

private Q_SLOTS:
    void sameClicksSameMeasurements_data()
    {
        QTest::addColumn<double>("zx");
        QTest::addColumn<double>("zy");
        QTest::addColumn<QPoint>("scroll");  // view pixels
        QTest::addColumn<QPoint>("shift");   // picture pixels added to every click, to stay in sight
        QTest::addColumn<bool>("standIn");   // the live window streams a camera of another kind
        QTest::newRow("zoom 0.5") << 0.5 << 0.5 << QPoint() << QPoint() << false;
        QTest::newRow("zoom 1") << 1.0 << 1.0 << QPoint() << QPoint() << false;
        QTest::newRow("zoom 2") << 2.0 << 2.0 << QPoint() << QPoint() << false;
        QTest::newRow("zoom 1.5 x 0.75") << 1.5 << 0.75 << QPoint() << QPoint() << false;
        QTest::newRow("zoom 2, scrolled") << 2.0 << 2.0 << QPoint(333, 217) << QPoint(200, 150) << false;
        QTest::newRow("zoom 1.25 x 1.75, scrolled") << 1.25 << 1.75 << QPoint(61, 213) << QPoint(50, 130) << false;
        QTest::newRow("zoom 1, stand-in camera") << 1.0 << 1.0 << QPoint() << QPoint() << true;
    }

    void sameClicksSameMeasurements()
    {
        QFETCH(double, zx);
        QFETCH(double, zy);
        QFETCH(QPoint, scroll);
        QFETCH(QPoint, shift);
        QFETCH(bool, standIn);
        testing_support::Sandbox box;
        testing_support::ScriptedDialogs dialogs;
        testing_support::StandInBackend otherKind;
        testing_support::AppRun run(box, standIn ? &otherKind : nullptr);
        QVERIFY(run.showFrame(QSize(1600, 1000)));

        // New windows start at the stored zoom.
        run.app->settings().registry.m_zoon_ratio_x = zx;
        run.app->settings().registry.m_zoon_ratio_y = zy;
        capture::CDeviceView* live = run.frame().openUsbSlot(1);
        QVERIFY(live && live->isConnected());
        QImage frame(live->frameSize(), QImage::Format_RGB888);
        frame.fill(QColor(40, 40, 40));
        const QString file = box.path() + QLatin1String("/frame.bmp");
        QVERIFY(frame.save(file, "BMP"));
        picture::CScoparaView* picture = run.frame().openPicture(file);
        QVERIFY(picture);
        QCOMPARE(picture->document().size(), live->frameSize());

        measure::MeasureState& settings = run.app->measure();
        settings.scaleLength = 0.25;
        settings.scalePixels = 37;
        settings.calibrationName = QStringLiteral("x40");

        const std::pair<const char*, measure::ZoomedImageView*> windows[] = {{"picture", picture}, {"live", live}};
        for (const auto& [name, view] : windows) {
            view->parentWidget()->resize(kWindow);
            view->horizontalScrollBar()->setValue(scroll.x());
            view->verticalScrollBar()->setValue(scroll.y());
            QVERIFY2(view->zoomX() == zx && view->zoomY() == zy, name);
            QVERIFY2(view->scrollOffset() == scroll, name);
        }
        QCOMPARE(live->viewport()->size(), picture->viewport()->size());

        QStringList faults;
        for (const ToolClicks& t : testing_support::everyTool()) {
            picture->runCommand(commandOf(t.tool));
            live->runCommand(commandOf(t.tool));
            QVERIFY2(picture->measuringTool() == t.tool && live->measuringTool() == t.tool, t.name);
            QVERIFY2(clickOnPicture(*picture, t, shift), t.name);
            QVERIFY2(clickOnLive(*live, t, shift), t.name);
            for (const QString& d : differences(t, *picture, *live, settings))
                faults << QStringLiteral("%1: %2").arg(QLatin1String(t.name), d);
            picture->runCommand(base::cmd::DeleteAllShapes);
            live->runCommand(base::cmd::DeleteAllShapes);
            QVERIFY(picture->document().shapes().empty() && live->measurements().empty());
            QVERIFY2(picture->scrollOffset() == scroll && live->scrollOffset() == scroll, t.name);
        }
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
        QVERIFY(dialogs.messages.isEmpty());
    }
};

QTEST_MAIN(WindowsMeasureAlikeTest)
#include "windows_measure_alike_test.moc"
