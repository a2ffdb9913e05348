// Placing every tool with real mouse events on a picture.
#include "measure/core/measure_state.h"
#include "measure/ui/ShapeCanvas.h"

#include "scripted_dialogs.h"

#include <QPlainTextEdit>
#include <QtTest>

using namespace measure;

namespace {

QImage grey()
{
    QImage img(300, 200, QImage::Format_RGB32);
    img.fill(QColor(0x70, 0x70, 0x70));
    return img;
}

}  // namespace

class ShapeHostTest : public QObject {
    Q_OBJECT

private:
    MeasureState m_settings;

    void clickAt(ShapeCanvas& c, QPoint p, Qt::MouseButton button = Qt::LeftButton)
    {
        QTest::mouseMove(&c, p);
        QTest::mouseClick(&c, button, Qt::NoModifier, p);
    }

private Q_SLOTS:
    void init()
    {
        m_settings = MeasureState();
        m_settings.scaleLength = 1;
        m_settings.scalePixels = 1;
        m_settings.calibrationName = QStringLiteral("1to1");
    }

    void eachToolPlacesExactlyOneShape_data()
    {
        QTest::addColumn<int>("tool");
        QTest::addColumn<QList<QPoint>>("clicks");
        QTest::addColumn<int>("kind");
        QTest::addColumn<double>("value");
        QTest::newRow("line") << int(ToolLine) << QList<QPoint>{{20, 20}, {50, 60}, {90, 90}} << int(KindLine) << 50.0;
        QTest::newRow("radius circle") << int(ToolRCircle) << QList<QPoint>{{100, 100}, {130, 140}, {160, 160}}
                                       << int(KindRCircle) << 50.0;
        QTest::newRow("diameter circle") << int(ToolCircle) << QList<QPoint>{{100, 100}, {160, 100}, {160, 160}}
                                         << int(KindCircle) << 30.0;
        QTest::newRow("three points circle")
            << int(ToolTPCircle) << QList<QPoint>{{91, 100}, {100, 91}, {109, 100}, {150, 150}} << int(KindTPCircle) << 9.0;
        QTest::newRow("arc") << int(ToolArc) << QList<QPoint>{{110, 120}, {130, 120}, {120, 110}, {150, 150}} << int(KindArc)
                             << 10.0;
        QTest::newRow("three points angle") << int(ToolTAngle) << QList<QPoint>{{120, 110}, {110, 120}, {110, 110}, {150, 150}}
                                            << int(KindTAngle) << 90.0;
        QTest::newRow("four points angle") << int(ToolFAngle) << QList<QPoint>{{10, 10}, {20, 10}, {10, 20}, {20, 30}, {150, 150}}
                                           << int(KindFAngle) << 45.0;
        QTest::newRow("point to line") << int(ToolDotLine) << QList<QPoint>{{40, 50}, {10, 20}, {90, 20}, {150, 150}}
                                       << int(KindDotLine) << 30.0;
        QTest::newRow("circle to circle") << int(ToolTCircle) << QList<QPoint>{{10, 50}, {30, 50}, {70, 50}, {90, 50}, {80, 80}}
                                          << int(KindTCircle) << 10.0;
    }

    void eachToolPlacesExactlyOneShape()
    {
        QFETCH(int, tool);
        QFETCH(QList<QPoint>, clicks);
        QFETCH(int, kind);
        QFETCH(double, value);
        ShapeCanvas canvas(grey(), m_settings);
        canvas.show();
        QVERIFY(QTest::qWaitForWindowExposed(&canvas));
        QSignalSpy hints(&canvas.host(), &ShapeHost::hint);
        canvas.host().setTool(tool);
        QCOMPARE(canvas.host().tool(), tool);
        const QString label = QStringLiteral("Click where the label goes.");
        QString before;
        for (int i = 0; i < clicks.size(); ++i) {
            // Each step says what its click does; the last places the label.
            const QString told = hints.isEmpty() ? QString() : hints.last().at(0).toString();
            QVERIFY2(!told.isEmpty() && told != before, qPrintable(told));
            QCOMPARE(told == label, i + 1 == clicks.size());
            before = told;
            clickAt(canvas, clicks[i]);
            if (i + 1 < clicks.size()) {
                QCOMPARE(int(canvas.shapes().size()), 0);
                QVERIFY(canvas.host().temporaryShape());  // rubber band while placing
            }
        }
        QCOMPARE(int(canvas.shapes().size()), 1);
        QCOMPARE(hints.last().at(0).toString(), hints.first().at(0).toString());  // ready for the next one
        CShape& s = canvas.shapes().at(0);
        QCOMPARE(s.kind, kind);
        QCOMPARE(s.inProgress, 0);
        QCOMPARE(s.serial, 0);
        QCOMPARE(s.lineColour, QColor(Qt::red));
        canvas.render();  // a final draw works the values out again
        QVERIFY2(qAbs(s.value1 - value) < 1e-4, qPrintable(QString::number(s.value1)));
        QVERIFY(!canvas.host().placement().placing());
        QVERIFY(!canvas.host().temporaryShape());
        QVERIFY(QWidget::mouseGrabber() != &canvas);
    }

    // The label of a measurement waiting for it follows the mouse, drawn as
    // it will be placed; choosing another tool then says it was dropped.
    void aWaitingLabelFollowsTheMouseAndIsDroppedAloud()
    {
        ShapeCanvas canvas(grey(), m_settings);
        canvas.show();
        QVERIFY(QTest::qWaitForWindowExposed(&canvas));
        QSignalSpy hints(&canvas.host(), &ShapeHost::hint);
        canvas.host().setTool(ToolLine);
        clickAt(canvas, {20, 20});
        clickAt(canvas, {80, 20});
        const QRect labelArea(150, 120, 100, 60);
        const auto inked = [&] {
            const QImage shown = canvas.grab().toImage();
            int n = 0;
            for (int y = labelArea.top(); y <= labelArea.bottom(); ++y) {
                for (int x = labelArea.left(); x <= labelArea.right(); ++x)
                    n += QColor(shown.pixel(x, y)) != QColor(0x70, 0x70, 0x70);
            }
            return n;
        };
        QCOMPARE(inked(), 0);
        QTest::mouseMove(&canvas, labelArea.topLeft());
        QTRY_VERIFY(inked() > 0);
        QCOMPARE(canvas.host().temporaryShape()->points[2], (Point2d{150, 120}));

        canvas.host().setTool(ToolCircle);
        QVERIFY(canvas.shapes().empty());
        QCOMPARE(hints.last().at(0).toString(),
                 QStringLiteral("The measurement not yet finished was dropped. Click one end of the circle's diameter."));
        canvas.host().setTool(ToolNone);
        QCOMPARE(hints.last().at(0).toString(), QString());
    }

    void polygonClosesOnARightClick()
    {
        ShapeCanvas canvas(grey(), m_settings);
        canvas.show();
        QVERIFY(QTest::qWaitForWindowExposed(&canvas));
        canvas.host().setTool(ToolPolygon);
        clickAt(canvas, {10, 10});
        clickAt(canvas, {40, 10});
        clickAt(canvas, {10, 50});
        QTest::mouseMove(&canvas, {120, 120});
        QTest::mousePress(&canvas, Qt::RightButton, Qt::NoModifier, {120, 120});
        clickAt(canvas, {150, 150});
        QCOMPARE(int(canvas.shapes().size()), 1);
        canvas.render();
        QCOMPARE(canvas.shapes().at(0).value1, 120.0);
        QCOMPARE(canvas.shapes().at(0).value2, 600.0);
    }

    void zoomedClicksLandOnPicturePixels()
    {
        ShapeCanvas canvas(grey(), m_settings);
        canvas.setZoom(2);
        canvas.show();
        QVERIFY(QTest::qWaitForWindowExposed(&canvas));
        canvas.host().setTool(ToolLine);
        clickAt(canvas, {40, 40});
        clickAt(canvas, {100, 40});
        clickAt(canvas, {200, 200});
        QCOMPARE(int(canvas.shapes().size()), 1);
        QCOMPARE(canvas.shapes().at(0).points[0], (Point2d{20, 20}));
        QCOMPARE(canvas.shapes().at(0).value1, 30.0);
        const QImage drawn = canvas.render();
        QCOMPARE(QColor(drawn.pixel(70, 40)), QColor(Qt::red));
    }

    void addTextTakesTheTypedLines()
    {
        ShapeCanvas canvas(grey(), m_settings);
        canvas.show();
        QVERIFY(QTest::qWaitForWindowExposed(&canvas));
        canvas.host().setTool(ToolText);
        clickAt(canvas, {30, 30});
        QPlainTextEdit* edit = canvas.host().textEdit();
        QVERIFY(edit);
        QCOMPARE(edit->size(), QSize(180, 120));
        QCOMPARE(edit->pos(), QPoint(30, 30));
        QTest::keyClicks(edit, QStringLiteral("cell wall"));
        QTest::keyClick(edit, Qt::Key_Return);
        QTest::keyClicks(edit, QStringLiteral("5 um"));
        clickAt(canvas, {250, 180});
        QCOMPARE(int(canvas.shapes().size()), 1);
        QCOMPARE(canvas.shapes().at(0).text, QStringLiteral("cell wall_5 um"));
        QCOMPARE(canvas.shapes().at(0).points[0], (Point2d{30, 30}));
        QTRY_VERIFY(!canvas.host().textEdit());

        clickAt(canvas, {60, 60});  // an empty text adds nothing
        clickAt(canvas, {250, 180});
        QCOMPARE(int(canvas.shapes().size()), 1);
    }

    void undoDeleteAllAndShowFlags()
    {
        ShapeCanvas canvas(grey(), m_settings);
        canvas.show();
        QVERIFY(QTest::qWaitForWindowExposed(&canvas));
        QSignalSpy changed(&canvas.host(), &ShapeHost::shapesChanged);
        for (int i = 0; i < 3; ++i) {
            canvas.host().setTool(ToolLine);
            clickAt(canvas, {20, 20 + 30 * i});
            clickAt(canvas, {80, 20 + 30 * i});
            clickAt(canvas, {90, 25 + 30 * i});
        }
        QCOMPARE(int(canvas.shapes().size()), 3);
        canvas.host().toggleShowFlag(9);
        QCOMPARE(canvas.shapes().at(2).show[ShowUnit], 0);
        canvas.host().undo();
        QCOMPARE(int(canvas.shapes().size()), 2);
        QCOMPARE(canvas.host().tool(), int(ToolNone));
        canvas.host().deleteAll();
        QVERIFY(canvas.shapes().empty());
        canvas.host().undo();  // nothing left: nothing happens
        QCOMPARE(changed.count(), 5);
    }
};

QTEST_MAIN(ShapeHostTest)
#include "shape_host_test.moc"
