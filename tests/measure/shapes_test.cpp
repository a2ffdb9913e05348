// The shapes' values, labels and pixels.
#include "measure/core/shape_list.h"
#include "measure/core/shapes.h"
#include "measure/core/video_shape.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

using namespace measure;

namespace {

const QColor kRed(0xFF, 0, 0);
const QSize kPicture(200, 150);

MeasureState oneToOne()
{
    MeasureState s;
    s.scaleLength = 1;
    s.scalePixels = 1;
    return s;
}

std::unique_ptr<CShape> finished(int tool, std::vector<QPoint> pts, const QString& text = {})
{
    auto s = makeShape(tool, kRed, kRed, text, kPicture, pts, 1, 1);
    s->inProgress = 0;
    return s;
}

QStringList shownTexts(CShape& s, const MeasureState& st)
{
    QStringList out;
    for (const LabelRow& r : s.labels(st)) {
        if (r.shown)
            out << r.text;
    }
    return out;
}

QImage canvas(double zoom)
{
    QImage img(static_cast<int>(kPicture.width() * zoom), static_cast<int>(kPicture.height() * zoom), QImage::Format_RGB32);
    img.fill(Qt::white);
    return img;
}

void draw(CShape& s, QImage& img, const MeasureState& st, double zoom, int pen = 1)
{
    QPainter p(&img);
    s.Draw(p, DrawContext{st, pen, zoom, zoom});
}

// A finished live record of `kind` through `pts`, the last the label anchor.
std::unique_ptr<CShape> liveRecord(int kind, std::vector<QPoint> pts)
{
    auto r = finished(toolOfKind(kind), std::move(pts));
    r->live = true;
    r->remeasure();
    return r;
}

bool isRed(const QImage& img, int x, int y)
{
    return QColor(img.pixel(x, y)) == kRed;
}

}  // namespace

TEST(Shapes, LinearShapesMeasureAndLabel)
{
    const MeasureState st = oneToOne();
    auto line = finished(ToolLine, {{10, 10}, {13, 14}, {50, 50}});
    EXPECT_EQ(shownTexts(*line, st), (QStringList{"DL0", "L:5.000mm"}));

    auto poly = finished(ToolPolygon, {{10, 10}, {40, 10}, {10, 50}, {}, {}, {}, {}, {}, {}, {}, {60, 60}});
    EXPECT_EQ(shownTexts(*poly, st), (QStringList{"PG0", "C:120.000mm", "A:600.000mm²"}));
    auto path = finished(ToolContinualLine, {{10, 10}, {40, 10}, {40, 50}, {}, {}, {}, {}, {}, {}, {}, {60, 60}});
    EXPECT_EQ(shownTexts(*path, st), (QStringList{"ML0", "L:70.000mm"}));
    auto dot = finished(ToolDotLine, {{20, 30}, {10, 10}, {90, 10}, {50, 50}});
    EXPECT_EQ(shownTexts(*dot, st), (QStringList{"PL0", "L:20.000mm"}));
}

TEST(Shapes, CirclesArcAndAnglesMeasureAndLabel)
{
    MeasureState st = oneToOne();
    auto rc = finished(ToolRCircle, {{50, 50}, {52, 50}, {80, 80}});
    QImage img = canvas(1);
    draw(*rc, img, st, 1);
    EXPECT_EQ(shownTexts(*rc, st), (QStringList{"RC0", "R:2.000mm", "C:12.566mm", "A:12.566mm²"}));
    rc->show[ShowUnit] = 0;
    EXPECT_EQ(shownTexts(*rc, st).last(), QStringLiteral("A:12.566"));

    auto dc = finished(ToolCircle, {{40, 50}, {60, 50}, {80, 80}});
    draw(*dc, img, st, 1);
    EXPECT_EQ(shownTexts(*dc, st), (QStringList{"DC0", "D:20.000mm", "C:62.832mm", "A:314.159mm²"}));

    auto tc = finished(ToolTPCircle, {{1, 10}, {10, 1}, {19, 10}, {80, 80}});
    draw(*tc, img, st, 1);
    EXPECT_EQ(shownTexts(*tc, st).mid(0, 2), (QStringList{"TC0", "R:9.000mm"}));
    auto flat = finished(ToolTPCircle, {{10, 10}, {20, 20}, {30, 30}, {80, 80}});
    draw(*flat, img, st, 1);
    EXPECT_EQ(flat->value1, 0.0);  // collinear: no circle, radius 0

    // Three quarters of a circle of radius 10: angle, arc length and sector area agree.
    auto arc = finished(ToolArc, {{60, 50}, {50, 40}, {40, 50}, {80, 80}});
    draw(*arc, img, st, 1);
    EXPECT_EQ(shownTexts(*arc, st), (QStringList{"AR0", "R:10.000mm", "<:270.000°", "C:47.124mm", "A:235.619mm²"}));

    auto ta = finished(ToolTAngle, {{20, 10}, {10, 20}, {10, 10}, {80, 80}});
    EXPECT_EQ(shownTexts(*ta, st), (QStringList{"TA0", "<:90.000°"}));
    ta->show[ShowUnit] = 0;
    EXPECT_EQ(shownTexts(*ta, st).last(), QStringLiteral("<:90.000"));
    auto fa = finished(ToolFAngle, {{10, 10}, {20, 10}, {10, 10}, {20, 20}, {80, 80}});
    EXPECT_EQ(shownTexts(*fa, st), (QStringList{"FA0", "<:45.000°"}));

    auto cc = finished(ToolTCircle, {{10, 50}, {30, 50}, {70, 50}, {90, 50}, {80, 80}});
    draw(*cc, img, st, 1);
    EXPECT_EQ(shownTexts(*cc, st), (QStringList{"CC0", "R:10.000mm", "L:60.000mm", "R:10.000mm"}));
}

TEST(Shapes, SettingsRelabelEveryShapeAtTheNextPaint)
{
    MeasureState st = oneToOne();
    auto line = finished(ToolLine, {{10, 10}, {13, 14}, {50, 50}});
    st.scaleLength = 0.328767;  // a 0.5 mm line of 100 pixels
    st.scalePixels = 65.7534;
    auto long_ = finished(ToolLine, {{10, 10}, {210, 10}, {50, 50}});
    EXPECT_EQ(shownTexts(*long_, st).last(), QStringLiteral("L:1.000mm"));
    st.setUnit(QStringLiteral("um"));
    st.decimals = 1;
    EXPECT_EQ(shownTexts(*long_, st).last(), QStringLiteral("L:1000.0um"));
    long_->show[ShowName] = 0;
    EXPECT_EQ(shownTexts(*long_, st), QStringList{QStringLiteral("L:1000.0um")});
}

TEST(Shapes, NumbersCountWithinEachKind)
{
    ShapeList list;
    list.append(finished(ToolLine, {{10, 10}, {20, 10}, {30, 30}}));
    list.append(finished(ToolArc, {{60, 50}, {50, 40}, {40, 50}, {80, 80}}));
    list.append(finished(ToolLine, {{10, 20}, {20, 20}, {30, 40}}));
    const MeasureState st = oneToOne();
    const DrawContext ctx{st, 1, 1, 1};
    QImage all = canvas(1);
    QImage each = canvas(1);
    {
        QPainter p(&all);
        list.drawAll(p, ctx);
    }
    {
        QPainter p(&each);
        list.at(0).Draw(p, ctx, 0);
        list.at(1).Draw(p, ctx, 0);
        list.at(2).Draw(p, ctx, 1);
    }
    EXPECT_EQ(all, each);
    EXPECT_EQ(list.at(2).labels(st, 1).front().text, QStringLiteral("DL1"));
    EXPECT_EQ(list.at(2).serial, 2);

    EXPECT_TRUE(list.toggleShowFlag(3));  // length
    EXPECT_EQ(list.at(0).show[ShowLength], 0);
    EXPECT_FALSE(list.toggleShowFlag(10));
    EXPECT_TRUE(list.undo());
    EXPECT_EQ(list.size(), 2u);
    list.clear();
    EXPECT_FALSE(list.undo());
}

TEST(Shapes, LinePixelsLandWhereTheZoomPutsThem)
{
    const MeasureState st = oneToOne();
    for (double zoom : {1.0, 2.0}) {
        auto line = finished(ToolLine, {{10, 10}, {50, 10}, {100, 100}});
        line->show = {0, 0, 0, 0, 0, 0, 0, 0};  // figure only
        QImage img = canvas(zoom);
        draw(*line, img, st, zoom);
        const int y = static_cast<int>(10 * zoom + 0.5);
        for (int x = static_cast<int>(12 * zoom); x <= static_cast<int>(48 * zoom); ++x)
            EXPECT_TRUE(isRed(img, x, y)) << "zoom " << zoom << " x " << x;
        EXPECT_FALSE(isRed(img, static_cast<int>(30 * zoom), y + 3));
        // The end bar at the start: 20 drawing pixels either side of the
        // line (cos 90 degrees in single precision is a hair below zero, so
        // the truncated bar lands one column left of the end point).
        EXPECT_TRUE(isRed(img, y - 1, y - 8));
        EXPECT_TRUE(isRed(img, y - 1, y + 15));
        EXPECT_FALSE(isRed(img, y + 3, y + 8));
        EXPECT_FALSE(isRed(img, y - 1, y + 25));
    }
}

TEST(Shapes, PointOnTheTopRowCountsAsNotPlaced)
{
    const MeasureState st = oneToOne();
    auto line = finished(ToolLine, {{10, 10}, {50, 0}, {100, 100}});
    line->show = {0, 0, 0, 0, 0, 0, 0, 0};
    QImage img = canvas(1);
    draw(*line, img, st, 1);
    for (int x = 0; x < img.width(); ++x) {
        for (int y = 0; y < img.height(); ++y)
            ASSERT_FALSE(isRed(img, x, y));
    }
}

TEST(Shapes, ExtensionLineIsTwoPixelsThickAcrossThePicture)
{
    const MeasureState st = oneToOne();
    auto fa = finished(ToolFAngle, {{10, 20}, {30, 20}, {100, 10}, {100, 90}, {150, 150}});
    fa->show = {0, 0, 0, 0, 0, 0, 0, 0};
    QImage img = canvas(1);
    draw(*fa, img, st, 1);
    for (int x : {1, 60, 199}) {
        EXPECT_TRUE(isRed(img, x, 20));
        EXPECT_TRUE(isRed(img, x, 19));
        EXPECT_FALSE(isRed(img, x, 21));
    }
    for (int y : {0, 75, 149}) {
        EXPECT_TRUE(isRed(img, 100, y));
        EXPECT_TRUE(isRed(img, 101, y));
        EXPECT_FALSE(isRed(img, 99, y));
    }
}

TEST(Shapes, LiveRecordsDrawLikePictureShapes)
{
    const MeasureState st = oneToOne();
    VideoShapeList records;
    auto r = liveRecord(KindLine, {{10, 10}, {50, 10}, {100, 100}});
    r->show = {0, 0, 0, 0, 0, 0, 0, 0};
    records.push_back(std::move(r));
    auto hidden = liveRecord(KindLine, {{10, 60}, {50, 60}, {100, 100}});
    hidden->visible = 0;
    records.push_back(std::move(hidden));

    QImage img = canvas(2);
    QPainter p(&img);
    drawVideoShapes(p, records, 2, 2, QPoint(10, 0), st);
    p.end();
    EXPECT_TRUE(isRed(img, 60 - 10, 20));    // (30, 10) at zoom 2, scrolled 10 to the left
    EXPECT_FALSE(isRed(img, 60 - 10, 120));  // the invisible record
}

// A live picture shows only its visible part; zoomed out and scrolled, the
// extension lines still run to its edges, as they do across a saved picture.
TEST(Shapes, LiveExtensionLinesReachTheEdgesWhenZoomedOutAndScrolled)
{
    const MeasureState st = oneToOne();
    VideoShapeList records;
    auto r = liveRecord(KindFAngle, {{300, 100}, {340, 100}, {500, 200}, {500, 260}, {560, 300}});
    r->show = {0, 0, 0, 0, 0, 0, 0, 0};
    records.push_back(std::move(r));

    QImage img = canvas(1);  // the visible part of a larger frame
    QPainter p(&img);
    drawVideoShapes(p, records, 0.5, 0.5, QPoint(100, 40), st);
    p.end();
    for (int x : {1, 120, 199})
        EXPECT_TRUE(isRed(img, x, 10)) << x;  // picture y 100, across
    for (int y : {0, 100, 149})
        EXPECT_TRUE(isRed(img, 150, y)) << y;  // picture x 500, down
}

// Labels placed near the picture's edge are moved in so every line stays
// whole: on screen, in saved pictures and live frames alike.
TEST(Shapes, LabelsNearTheEdgeStayWholeInsideThePicture)
{
    const MeasureState st = oneToOne();
    // Only the labels show: lines white on white, text black.
    const auto labelOnly = [](int tool, std::vector<QPoint> pts, const QString& text = {}) {
        auto s = makeShape(tool, Qt::white, Qt::black, text, kPicture, std::move(pts), 1, 1);
        s->inProgress = 0;
        return s;
    };
    const auto inked = [](const QImage& img, QRect where) {
        int n = 0;
        for (int y = 0; y < img.height(); ++y) {
            for (int x = 0; x < img.width(); ++x)
                n += img.pixel(x, y) != qRgb(255, 255, 255) && where.contains(x, y);
        }
        return n;
    };
    const QRect everywhere(0, 0, 1000, 1000);
    const QRect picture(QPoint(0, 0), kPicture);
    const auto labelPixels = [&](std::unique_ptr<CShape> s, QRect where) {
        QImage img = canvas(1);
        draw(*s, img, st, 1);
        return inked(img, where);
    };

    // A circle's four lines, name to area, and an Add Text block of two lines.
    const int middle = labelPixels(labelOnly(ToolCircle, {{40, 40}, {60, 40}, {60, 50}}), everywhere);
    ASSERT_GT(middle, 0);
    EXPECT_EQ(labelPixels(labelOnly(ToolCircle, {{150, 120}, {170, 120}, {195, 148}}), everywhere), middle);
    const int text = labelPixels(labelOnly(ToolText, {{20, 20}}, QStringLiteral("First_Second")), everywhere);
    ASSERT_GT(text, 0);
    EXPECT_EQ(labelPixels(labelOnly(ToolText, {{190, 140}}, QStringLiteral("First_Second")), everywhere), text);

    // A live window wider than its frame keeps the label on the frame.
    VideoShapeList records;
    auto r = labelOnly(ToolCircle, {{150, 120}, {170, 120}, {195, 148}});
    r->live = true;
    r->fontHeight = st.fontSize;
    records.push_back(std::move(r));
    QImage window = canvas(2);
    QPainter p(&window);
    drawVideoShapes(p, records, 1, 1, QPoint(0, 0), st, kPicture);
    p.end();
    EXPECT_EQ(inked(window, picture), middle);
    EXPECT_EQ(inked(window, everywhere), middle);
}
