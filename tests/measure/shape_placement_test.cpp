// The clicks that place each tool.
#include "measure/core/shape_placement.h"

#include <gtest/gtest.h>

using namespace measure;

namespace {

// Clicks at the given points (with a move to each first) and reports
// whether the last release completed the shape.
bool clickAll(ShapePlacement& s, const std::vector<QPoint>& clicks)
{
    bool done = false;
    for (const QPoint& p : clicks) {
        s.mouseMove(p);
        s.leftDown(p);
        done = s.leftUp();
    }
    return done;
}

}  // namespace

TEST(ShapePlacement, EachToolCompletesAfterItsClicks)
{
    struct Case {
        int tool;
        std::vector<QPoint> clicks;
    };
    const Case cases[] = {
        {ToolLine, {{10, 10}, {20, 10}, {30, 30}}},
        {ToolRCircle, {{50, 50}, {60, 50}, {80, 80}}},
        {ToolCircle, {{40, 50}, {60, 50}, {80, 80}}},
        {ToolArc, {{10, 20}, {30, 20}, {20, 10}, {40, 40}}},
        {ToolTAngle, {{20, 10}, {10, 20}, {10, 10}, {40, 40}}},
        {ToolDotLine, {{20, 30}, {10, 10}, {90, 10}, {50, 50}}},
        {ToolTPCircle, {{1, 10}, {10, 1}, {19, 10}, {50, 50}}},
        {ToolFAngle, {{10, 10}, {20, 10}, {10, 20}, {20, 30}, {50, 50}}},
        {ToolTCircle, {{10, 50}, {30, 50}, {70, 50}, {90, 50}, {80, 80}}},
    };
    for (const Case& c : cases) {
        ShapePlacement s;
        s.setTool(c.tool);
        std::vector<QPoint> allButLast(c.clicks.begin(), c.clicks.end() - 1);
        EXPECT_FALSE(clickAll(s, allButLast)) << c.tool;
        EXPECT_TRUE(clickAll(s, {c.clicks.back()})) << c.tool;
    }
}

TEST(ShapePlacement, LineWhoseSecondClickHitsTheFirstPointIsDropped)
{
    ShapePlacement s;
    s.setTool(ToolLine);
    EXPECT_FALSE(clickAll(s, {{10, 10}, {10, 10}, {30, 30}}));
    EXPECT_FALSE(s.placing());  // ready to start over
    EXPECT_TRUE(clickAll(s, {{10, 10}, {20, 10}, {30, 30}}));
}

TEST(ShapePlacement, RepeatedPointsAreNotTakenForArcsAnglesAndPointToLine)
{
    for (int tool : {ToolArc, ToolTAngle, ToolDotLine}) {
        ShapePlacement s;
        s.setTool(tool);
        EXPECT_TRUE(s.leftDown({10, 10}));
        EXPECT_FALSE(s.leftDown({10, 10}));
        EXPECT_TRUE(s.leftDown({20, 20}));
        EXPECT_FALSE(s.leftDown({10, 10}));
        EXPECT_FALSE(s.leftDown({20, 20}));
        EXPECT_EQ(s.clicks(), 2);
    }
}

TEST(ShapePlacement, PolygonClosedByARightClickAfterThreeVertices)
{
    ShapePlacement s;
    s.setTool(ToolPolygon);
    EXPECT_FALSE(clickAll(s, {{10, 10}, {40, 10}}));
    EXPECT_FALSE(s.rightDown({50, 50}));  // two vertices are not enough
    EXPECT_FALSE(clickAll(s, {{10, 50}}));
    s.mouseMove({70, 70});  // the rubber-band point
    EXPECT_TRUE(s.rightDown({70, 70}));
    EXPECT_TRUE(clickAll(s, {{90, 90}}));  // the label
    auto shape = s.build(Qt::red, Qt::red, {}, QSize(200, 200), 1, 1);
    EXPECT_DOUBLE_EQ(shape->value1, 120);  // three edges, the closing one included
    EXPECT_DOUBLE_EQ(shape->value2, 600);
    EXPECT_EQ(shape->points[10], (Point2d{90, 90}));
}

TEST(ShapePlacement, PolylineTakesItsLabelAfterTenVertices)
{
    ShapePlacement s;
    s.setTool(ToolContinualLine);
    std::vector<QPoint> vertices;
    for (int i = 1; i <= 10; ++i)
        vertices.emplace_back(10 * i, 10);
    EXPECT_FALSE(clickAll(s, vertices));
    EXPECT_EQ(s.clicks(), 10);
    EXPECT_TRUE(clickAll(s, {{50, 80}}));
    EXPECT_DOUBLE_EQ(s.build(Qt::red, Qt::red, {}, QSize(200, 200), 1, 1)->value1, 90);
}

TEST(ShapePlacement, TheNextPointFollowsTheMouse)
{
    ShapePlacement s;
    s.setTool(ToolTPCircle);
    s.leftDown({10, 10});
    s.mouseMove({30, 30});
    EXPECT_EQ(s.points()[1], QPoint());  // not while one point is placed
    s.leftDown({20, 20});
    s.mouseMove({30, 30});
    EXPECT_EQ(s.points()[2], QPoint(30, 30));
}
