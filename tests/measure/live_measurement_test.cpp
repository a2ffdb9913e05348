// The live tools' click sequences and the values of their records, worked
// out by hand from the clicks.
#include "measure/core/live_measurement.h"
#include "measure/core/shapes.h"

#include <QImage>
#include <QPainter>

#include <cmath>

#include <gtest/gtest.h>

using namespace measure;
using Click = LiveMeasurement::Click;

namespace {

// Clicks at `points`; expects the last one to finish the measurement.
// Clicks at `points` (frame pixels); expects the last one to finish the measurement.
std::unique_ptr<CShape> clicked(int tool, std::initializer_list<QPoint> points)
{
    LiveMeasurement live;
    live.setTool(tool);
    Click last = Click::Ignored;
    for (const QPoint& p : points)
        last = live.leftClick(p);
    EXPECT_EQ(last, Click::Finished);
    return live.takeRecord(MeasureState{});
}

}  // namespace

TEST(LiveMeasurement, ClicksAreMappedToFramePixelsPerAxisZoom)
{
    const ImageMapping map{2.0, 0.5, QPointF(10, 0)};
    EXPECT_EQ(map.mapToImage({10, 10}), QPoint(10, 20));
    EXPECT_EQ(map.mapToImage({71, 51}), QPoint(41, 102));  // 40.5 and 102 rounded to the nearest pixel
    EXPECT_EQ(map.mapToView(Point2d{41, 102}), QPointF(72, 51));
    auto r = clicked(ToolLine, {map.mapToImage({10, 10}), map.mapToImage({70, 50}), map.mapToImage({40, 80})});
    ASSERT_TRUE(r);
    EXPECT_EQ(r->kind, KindLine);
    EXPECT_DOUBLE_EQ(r->value1, std::hypot(40 - 10, 100 - 20));
    ASSERT_EQ(r->figure().vertices().size(), 2u);
    EXPECT_DOUBLE_EQ(r->points[0].x, 10.0);
    EXPECT_DOUBLE_EQ(r->points[0].y, 20.0);
    EXPECT_DOUBLE_EQ(r->points[2].x, 25.0);  // the label where the third click was
}

TEST(LiveMeasurement, LineNeedsTwoDifferentEnds)
{
    LiveMeasurement live;
    live.setTool(ToolLine);
    EXPECT_EQ(live.leftClick({5, 5}), Click::Taken);
    EXPECT_EQ(live.leftClick({5, 5}), Click::Taken);
    EXPECT_EQ(live.leftClick({9, 9}), Click::Ignored);  // dropped: the user starts over
    EXPECT_FALSE(live.inProgress());
}

TEST(LiveMeasurement, LineLengthAtTheSecondClickIsTheCalibrationReference)
{
    LiveMeasurement live;
    live.setTool(ToolLine);
    live.leftClick({100, 100});
    live.leftClick({100, 250});
    EXPECT_DOUBLE_EQ(live.lineLength(), 150.0);
}

TEST(LiveMeasurement, ContinuousLineEndsAtTheRightClick)
{
    LiveMeasurement live;
    live.setTool(ToolContinualLine);
    EXPECT_EQ(live.leftClick({10, 10}), Click::Taken);
    EXPECT_EQ(live.leftClick({40, 10}), Click::Taken);
    EXPECT_TRUE(live.rightClick({40, 50}));  // the last vertex, at the click
    EXPECT_EQ(live.leftClick({60, 60}), Click::Finished);
    auto r = live.takeRecord(MeasureState{});
    EXPECT_EQ(r->kind, KindContinualLine);
    EXPECT_DOUBLE_EQ(r->value1, 30 + 40);
    EXPECT_EQ(r->figure().vertices().size(), 3u);  // three vertices and the label
    EXPECT_EQ(r->points[10], (Point2d{60, 60}));
}

TEST(LiveMeasurement, PolygonPerimeterAndArea)
{
    LiveMeasurement live;
    live.setTool(ToolPolygon);
    for (const QPoint p : {QPoint(10, 10), QPoint(50, 10), QPoint(50, 40)})
        live.leftClick(p);
    EXPECT_TRUE(live.rightClick({0, 0}));
    EXPECT_FALSE(live.rightClick({0, 0}));  // closes once
    EXPECT_EQ(live.leftClick({30, 30}), Click::Finished);
    auto r = live.takeRecord(MeasureState{});
    EXPECT_DOUBLE_EQ(r->value1, 40 + 30 + 50);
    EXPECT_DOUBLE_EQ(r->value2, 40 * 30 / 2.0);
}

TEST(LiveMeasurement, PointToLineIsThePerpendicularDistance)
{
    auto r = clicked(ToolDotLine, {{20, 50}, {10, 10}, {90, 10}, {5, 5}});
    EXPECT_DOUBLE_EQ(r->value1, 40.0);
}

TEST(LiveMeasurement, CirclesKeepTheirRadiusDiameterAndCentre)
{
    EXPECT_DOUBLE_EQ(clicked(ToolRCircle, {{50, 50}, {80, 90}, {1, 1}})->value1, 50.0);
    auto diameter = clicked(ToolCircle, {{20, 20}, {80, 20}, {1, 1}});
    EXPECT_DOUBLE_EQ(diameter->value1, 60.0);
    EXPECT_DOUBLE_EQ(diameter->measured().centre.x, 50.0);
    // Through (10, 10), (20, 20), (30, 10): centre (20, 10), radius 10.
    auto three = clicked(ToolTPCircle, {{10, 10}, {20, 20}, {30, 10}, {2, 2}});
    EXPECT_NEAR(three->value1, 10.0, 1e-9);
    EXPECT_NEAR(three->measured().centre.x, 20.0, 1e-9);
}

TEST(LiveMeasurement, AnglesInDegrees)
{
    // Arms to (110, 100) and (100, 50) from the vertex (100, 100).
    EXPECT_NEAR(clicked(ToolTAngle, {{110, 100}, {100, 50}, {100, 100}, {5, 5}})->value1, 90.0, 1e-5);
    EXPECT_NEAR(clicked(ToolFAngle, {{10, 10}, {100, 10}, {10, 20}, {100, 110}, {5, 5}})->value1, 45.0, 1e-5);
    // A half circle: ends (10, 50) and (90, 50), through (50, 10): radius 40, 180 degrees between the radii.
    auto arc = clicked(ToolArc, {{10, 50}, {90, 50}, {50, 10}, {5, 5}});
    EXPECT_NEAR(arc->value1, 40.0, 1e-9);
    EXPECT_NEAR(arc->value2, 180.0, 1e-5);  // degrees from radians by 3.1415926
    // A quarter: ends (90, 50) and (50, 10) around (50, 50).
    auto quarter = clicked(ToolArc, {{90, 50}, {50, 10}, {74, 18}, {5, 5}});
    EXPECT_NEAR(quarter->value2, 90.0, 1e-5);
}

TEST(LiveMeasurement, CircleToCircleIsTheDistanceOfTheCentres)
{
    auto r = clicked(ToolTCircle, {{10, 10}, {30, 10}, {70, 40}, {90, 40}, {5, 5}});
    EXPECT_EQ(r->kind, KindTCircle);
    EXPECT_DOUBLE_EQ(r->value1, std::hypot(80 - 20, 40 - 10));
    EXPECT_DOUBLE_EQ(r->measured().radius, 10.0);
    EXPECT_DOUBLE_EQ(r->measured().centre2.x, 80.0);
}

TEST(LiveMeasurement, TextAsksForItsTextThenKeepsIt)
{
    LiveMeasurement live;
    live.setTool(ToolText);
    EXPECT_EQ(live.leftClick({30, 40}), Click::OpenText);
    EXPECT_EQ(live.leftClick({200, 200}), Click::Finished);
    auto r = live.takeRecord(MeasureState{}, QStringLiteral("scratch"));
    EXPECT_EQ(r->kind, KindText);
    EXPECT_EQ(r->text, QStringLiteral("scratch"));
    EXPECT_EQ(r->figure().vertices().size(), 1u);
    EXPECT_DOUBLE_EQ(r->points[0].x, 30.0);
    EXPECT_EQ(r->points[1], (Point2d{}));  // the second click only ends the text
}

TEST(LiveMeasurement, InProgressIsDrawnWhereTheMouseIs)
{
    LiveMeasurement live;
    live.setTool(ToolLine);
    live.leftClick({10, 30});
    live.mouseMove({90, 30});
    QImage canvas(100, 60, QImage::Format_RGB32);
    canvas.fill(Qt::black);
    QPainter p(&canvas);
    MeasureState m;
    live.drawInProgress(p, {}, m, canvas.size());
    p.end();
    EXPECT_EQ(QColor(canvas.pixel(50, 30)), QColor(Qt::red));
    EXPECT_EQ(QColor(canvas.pixel(50, 10)), QColor(Qt::black));

    // Both ends placed: the label waits for its click and follows the mouse.
    live.leftClick({90, 30});
    EXPECT_TRUE(live.placement().waitsForLabel());
    live.mouseMove({5, 5});
    canvas.fill(Qt::black);
    p.begin(&canvas);
    live.drawInProgress(p, {}, m, canvas.size());
    p.end();
    int inked = 0;
    for (int y = 0; y < 25; ++y) {
        for (int x = 0; x < 100; ++x)
            inked += QColor(canvas.pixel(x, y)) != QColor(Qt::black);
    }
    EXPECT_GT(inked, 0);
}
