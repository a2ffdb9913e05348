// The measuring geometry against values worked by hand.
#include "measure/core/geometry.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace measure;

TEST(Geometry, DistanceAndUnsetPoints)
{
    EXPECT_DOUBLE_EQ(distance({10, 10}, {13, 14}), 5.0);
    EXPECT_TRUE(isSet({1, 1}));
    EXPECT_FALSE(isSet({0, 12}));
    EXPECT_FALSE(isSet({12, 0}));
}

TEST(Geometry, AngleBetweenLines)
{
    // A horizontal, B vertical through (15, y): a right angle at (15, 10).
    EXPECT_NEAR(angleBetweenLines({10, 10}, {20, 10}, {15, 5}, {15, 25}), 90.0, 1e-5);
    // A vertical, B sloped: the intersection comes from B's slope.
    EXPECT_NEAR(angleBetweenLines({10, 5}, {10, 25}, {20, 20}, {30, 30}), 45.0, 1e-5);
    EXPECT_NEAR(angleBetweenLines({10, 10}, {20, 10}, {10, 10}, {20, 20}), 45.0, 1e-5);
    // The far end of each line from the intersection decides the side: 135.
    EXPECT_NEAR(angleBetweenLines({10, 10}, {30, 10}, {20, 10}, {10, 20}), 135.0, 1e-5);
    EXPECT_EQ(angleBetweenLines({10, 10}, {20, 10}, {10, 20}, {20, 20}), 0.0);  // parallel
    EXPECT_EQ(angleBetweenLines({10, 10}, {10, 20}, {20, 10}, {20, 30}), 0.0);  // both vertical
    // The degree conversion uses 3.1415926, as it always did.
    EXPECT_DOUBLE_EQ(angleBetweenLines({10, 10}, {20, 10}, {15, 5}, {15, 25}), std::acos(0.0) * 180.0 / 3.1415926);
}

TEST(Geometry, CircleThroughThreePoints)
{
    const auto c = circleThrough({1, 10}, {10, 1}, {19, 10});
    ASSERT_TRUE(c.has_value());
    EXPECT_NEAR(c->centre.x, 10, 1e-12);
    EXPECT_NEAR(c->centre.y, 10, 1e-12);
    EXPECT_NEAR(c->radius, 9, 1e-12);
    EXPECT_FALSE(circleThrough({1, 1}, {5, 5}, {9, 9}).has_value());  // collinear
    EXPECT_FALSE(circleThrough({1, 1}, {1, 1}, {9, 3}).has_value());  // two points equal
}

TEST(Geometry, PerpendicularFoot)
{
    const Point2d f = perpendicularFoot({5, 5}, {1, 1}, {11, 1});
    EXPECT_DOUBLE_EQ(f.x, 5);
    EXPECT_DOUBLE_EQ(f.y, 1);
    const Point2d g = perpendicularFoot({0, 10}, {0, 0}, {10, 10});
    EXPECT_DOUBLE_EQ(g.x, 5);
    EXPECT_DOUBLE_EQ(g.y, 5);
}

TEST(Geometry, ArcCentreFromTheBisectors)
{
    const auto c = arcCentre({10, 20}, {30, 20}, {20, 10});
    ASSERT_TRUE(c.has_value());
    EXPECT_DOUBLE_EQ(c->x, 20);
    EXPECT_DOUBLE_EQ(c->y, 20);
    // A horizontal chord p0-p2 gives a vertical bisector.
    const auto h = arcCentre({10, 20}, {20, 30}, {30, 20});
    ASSERT_TRUE(h.has_value());
    EXPECT_DOUBLE_EQ(h->x, 20);
    EXPECT_DOUBLE_EQ(h->y, 20);
    EXPECT_FALSE(arcCentre({10, 10}, {30, 30}, {20, 20}).has_value());  // collinear: parallel bisectors
}

TEST(Geometry, ArcSweepFollowsTheDrawnArc)
{
    // Upper half of the circle around (20, 20).
    EXPECT_NEAR(arcSweep({20, 20}, {10, 20}, {30, 20}, {20, 10}), 180.0, 1e-5);
    // Around (50, 50): from 0 degrees to 90 through 180 is three quarters.
    EXPECT_NEAR(arcSweep({50, 50}, {60, 50}, {50, 40}, {40, 50}), 270.0, 1e-5);
    // The short way round when the third point lies between.
    EXPECT_NEAR(arcSweep({50, 50}, {60, 50}, {50, 40}, {50 + 7.0710678, 50 - 7.0710678}), 90.0, 1e-5);
}

TEST(Geometry, PathsAndTheShoelaceArea)
{
    const std::vector<Point2d> triangle{{10, 10}, {40, 10}, {10, 50}};
    EXPECT_DOUBLE_EQ(pathLength(triangle, false), 30 + 50);
    EXPECT_DOUBLE_EQ(pathLength(triangle, true), 120);
    EXPECT_DOUBLE_EQ(shoelaceArea(triangle), 600);
    EXPECT_DOUBLE_EQ(shoelaceArea(std::vector<Point2d>{{10.4, 10.4}, {20.4, 10.4}, {20.4, 20.4}, {10.4, 20.4}}),
                     100);                                                                     // whole pixels
    EXPECT_DOUBLE_EQ(shoelaceArea(std::vector<Point2d>{{10.5, 10}, {20, 10}, {20, 20}}), 45);  // 10.5 rounds up to 11
}
