// The same clicks on a picture window and on a live window of the same frame
// give the same values, labels and workbook rows, whatever the zoom.
#include "measure/core/export_rows.h"
#include "measure/core/live_measurement.h"
#include "measure/core/measure_state.h"
#include "measure/ui/ShapeCanvas.h"

#include "same_clicks.h"

#include <QImage>
#include <QtTest>

#include <cmath>

using namespace measure;
using testing_support::everyTool;
using testing_support::labelTexts;
using testing_support::ToolClicks;

namespace {

struct Zoom {
    double x;
    double y;
};

// Where a picture point shows in a view at this zoom, rounded the way a
// mouse position is: to the nearest whole view pixel.
QPoint onScreen(QPoint picture, Zoom z)
{
    return QPoint(static_cast<int>(std::lround(picture.x() * z.x)), static_cast<int>(std::lround(picture.y() * z.y)));
}

}  // namespace

class SameMeasurementTest : public QObject {
    Q_OBJECT

private:
    MeasureState m_settings;

    // The picture window: real mouse events on a canvas hosting the tools.
    std::unique_ptr<CShape> measureOnPicture(const ToolClicks& t, Zoom z)
    {
        QImage picture(200, 160, QImage::Format_RGB32);
        picture.fill(Qt::darkGray);
        ShapeCanvas canvas(picture, m_settings);
        canvas.setZoom(z.x, z.y);
        canvas.resize(static_cast<int>(200 * z.x) + 2, static_cast<int>(160 * z.y) + 2);
        canvas.show();
        if (!QTest::qWaitForWindowExposed(&canvas))
            return nullptr;
        canvas.host().setTool(t.tool);
        for (size_t i = 0; i < t.points.size(); ++i) {
            const QPoint at = onScreen(t.points[i], z);
            QTest::mouseMove(&canvas, at);
            // A picture's polyline or polygon ends with a right click anywhere after its vertices.
            if (t.rightClickBeforeLast && i + 1 == t.points.size())
                QTest::mouseClick(&canvas, Qt::RightButton, Qt::NoModifier, at);
            if (t.tool == ToolText && i == 0) {
                QTest::mouseClick(&canvas, Qt::LeftButton, Qt::NoModifier, at);
                canvas.host().textEdit()->setPlainText(QStringLiteral("cell wall"));
                continue;
            }
            QTest::mouseClick(&canvas, Qt::LeftButton, Qt::NoModifier, at);
        }
        if (canvas.shapes().size() != 1)
            return nullptr;
        // Take the finished shape out of the canvas's list.
        CShape& s = canvas.shapes().at(0);
        auto copy = makeShape(t.tool, s.lineColour, s.textColour, s.text, QSize(200, 160), {}, z.x, z.y);
        copy->points = s.points;
        copy->inProgress = 0;
        copy->remeasure();
        return copy;
    }

    // The live window: the same screen positions through the live tools.
    std::unique_ptr<CVideoShap> measureOnLive(const ToolClicks& t, Zoom z)
    {
        const ImageMapping map{z.x, z.y, QPointF(0, 0)};
        LiveMeasurement live;
        live.setTool(t.tool);
        LiveMeasurement::Click last = LiveMeasurement::Click::Ignored;
        const auto at = [&](size_t i) { return map.mapToImage(onScreen(t.points[i], z)); };
        for (size_t i = 0; i < t.points.size(); ++i) {
            const bool lastVertex = t.rightClickBeforeLast && i + 2 == t.points.size();
            if (lastVertex && t.tool == ToolContinualLine) {
                live.rightClick(at(i));  // a live polyline takes its last vertex at the right click
                continue;
            }
            last = live.leftClick(at(i));
            if (lastVertex)
                live.rightClick(at(i));  // closes the polygon
        }
        if (last != LiveMeasurement::Click::Finished)
            return nullptr;
        return live.takeRecord(m_settings, QStringLiteral("cell wall"));
    }

private Q_SLOTS:
    void init()
    {
        m_settings = MeasureState();
        m_settings.scaleLength = 0.25;
        m_settings.scalePixels = 37;
        m_settings.calibrationName = QStringLiteral("x40");
    }

    void sameValuesLabelsAndRows_data()
    {
        QTest::addColumn<double>("zx");
        QTest::addColumn<double>("zy");
        QTest::addColumn<int>("tool");
        for (const Zoom z : {Zoom{0.5, 0.5}, Zoom{1, 1}, Zoom{2, 2}, Zoom{1.5, 0.75}}) {
            int index = 0;
            for (const ToolClicks& t : everyTool()) {
                QTest::addRow("%s at %.2fx%.2f", t.name, z.x, z.y) << z.x << z.y << index;
                ++index;
            }
        }
    }

    void sameValuesLabelsAndRows()
    {
        QFETCH(double, zx);
        QFETCH(double, zy);
        QFETCH(int, tool);
        const ToolClicks t = everyTool()[static_cast<size_t>(tool)];
        const Zoom z{zx, zy};
        auto shape = measureOnPicture(t, z);
        auto record = measureOnLive(t, z);
        QVERIFY2(shape, "the picture window made no shape");
        QVERIFY2(record, "the live window made no record");
        QCOMPARE(record->kind, shape->kind);

        // The same picture points...
        const Figure picture = shape->figure();
        const Figure live = record->figure();
        for (size_t i = 0; i < picture.points.size(); ++i) {
            QCOMPARE(live.points[i].x, picture.points[i].x);
            QCOMPARE(live.points[i].y, picture.points[i].y);
        }
        if (t.tool == ToolText) {
            QCOMPARE(record->text, shape->text);
            return;
        }
        // ...the same labels...
        QCOMPARE(labelTexts(testing_support::recordLabels(*record, m_settings)), labelTexts(shape->labels(m_settings)));

        // ...and the same workbook rows.
        ShapeList shapes;
        shapes.append(std::move(shape));
        VideoShapeList records;
        records.push_back(std::move(record));
        const QString difference = testing_support::workbookDifference(t.tool, pictureMeasurements(shapes, m_settings),
                                                                       slotMeasurements(records, m_settings), m_settings);
        QVERIFY2(difference.isEmpty(), qPrintable(difference));
    }

    void anArcBeyondAHalfCircleReadsItsSweepEverywhere()
    {
        const ToolClicks arc = everyTool()[7];
        for (const Zoom z : {Zoom{1, 1}, Zoom{2, 2}}) {
            auto record = measureOnLive(arc, z);
            auto shape = measureOnPicture(arc, z);
            QVERIFY(record && shape);
            QVERIFY(std::abs(record->value2 - 270.0) < 1e-4);  // degrees from radians by 3.1415926
            QVERIFY(std::abs(shape->value2 - 270.0) < 1e-4);
            const QStringList labels = labelTexts(shape->labels(m_settings));
            QVERIFY2(labels.contains(QStringLiteral("2+<:270.000°")), qPrintable(labels.join(QLatin1Char(' '))));
            VideoShapeList records;
            records.push_back(std::move(record));
            const auto rows = slotMeasurements(records, m_settings);
            QCOMPARE(workbookCell(rows[0], ColAngle, m_settings), QStringLiteral("270.0"));
        }
    }

    void aLiveDiameterCircleKeepsItsDiameterAndReadsLikeThePicture()
    {
        const ToolClicks circle = everyTool()[5];
        auto record = measureOnLive(circle, {1, 1});
        auto shape = measureOnPicture(circle, {1, 1});
        QVERIFY(record && shape);
        QCOMPARE(record->value1, 2 * shape->value1);  // the live record's value 1 is the diameter
        VideoShapeList records;
        records.push_back(std::move(record));
        ShapeList shapes;
        shapes.append(std::move(shape));
        QCOMPARE(slotMeasurements(records, m_settings)[0].value[ColDiameter],
                 pictureMeasurements(shapes, m_settings)[0].value[ColDiameter]);
    }
};

QTEST_MAIN(SameMeasurementTest)
#include "same_measurement_test.moc"
