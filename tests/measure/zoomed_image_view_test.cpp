// The view both picture and live windows are: scroll bars over the zoomed
// picture, one mapping, and each change heard once.
#include "measure/ui/ZoomedImageView.h"

#include <QScrollBar>
#include <QtTest>

using measure::ZoomedImageView;

namespace {

class CountingView : public ZoomedImageView {
public:
    using ZoomedImageView::ScrollOnZoom;
    using ZoomedImageView::setImage;
    int zoomChanges = 0;
    int scrolls = 0;

protected:
    void imageZoomChanged() override { ++zoomChanges; }
    void imageScrolled() override { ++scrolls; }
};

}  // namespace

class ZoomedImageViewTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void barsCoverTheZoomedPictureAndMappingFollowsThem()
    {
        CountingView view;
        view.resize(300, 200);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        view.setImage(QSize(640, 480), 0.5, 1.5);
        QCOMPARE(view.zoomChanges, 1);
        QCOMPARE(view.zoomedSize(), QSize(320, 720));
        const QSize page = view.viewport()->size();
        QCOMPARE(view.horizontalScrollBar()->maximum(), std::max(0, 320 - page.width()));
        QCOMPARE(view.verticalScrollBar()->maximum(), 720 - page.height());

        const int before = view.scrolls;
        view.verticalScrollBar()->setValue(90);
        QCOMPARE(view.scrolls, before + 1);
        // Picture (100, 100) shows at (50, 150 - 90); a click there takes it back.
        QCOMPARE(view.mapping().mapToView(measure::Point2d{100, 100}), QPointF(50, 60));
        QCOMPARE(view.mapping().mapToImage(QPoint(50, 60)), QPoint(100, 100));
        QCOMPARE(view.imageArea(), QRect(0, 0, std::min(320, page.width()), page.height()));

        // The same picture and zoom again is no change.
        view.setImage(QSize(640, 480), 0.5, 1.5);
        QCOMPARE(view.zoomChanges, 1);
        QCOMPARE(view.verticalScrollBar()->value(), 90);
    }

    void aNewZoomScrollsToTheOriginOrKeepsItsPlace()
    {
        CountingView view;
        view.resize(300, 200);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        view.setImage(QSize(1000, 1000), 1, 1);
        const int max1 = view.verticalScrollBar()->maximum();
        view.verticalScrollBar()->setValue(max1 / 2);
        view.setImage(QSize(1000, 1000), 2, 2, CountingView::ScrollOnZoom::KeepProportion);
        const int max2 = view.verticalScrollBar()->maximum();
        QVERIFY(qAbs(view.verticalScrollBar()->value() - max2 / 2) <= 1);
        view.setImage(QSize(1000, 1000), 1, 1, CountingView::ScrollOnZoom::ToOrigin);
        QCOMPARE(view.verticalScrollBar()->value(), 0);
        QCOMPARE(view.zoomChanges, 3);
    }

    // A user sees bars exactly when the zoomed picture is larger than the
    // window: after the window grows, after a zoom in and after a zoom out.
    void barsShowOnlyWhileThePictureDoesNotFit()
    {
        CountingView view;
        view.resize(300, 200);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QScrollBar* h = view.horizontalScrollBar();
        QScrollBar* v = view.verticalScrollBar();
        view.setImage(QSize(640, 480), 1, 1);
        QTRY_VERIFY(h->isVisible() && v->isVisible());

        view.resize(900, 700);
        QTRY_VERIFY(!h->isVisible() && !v->isVisible());
        QCOMPARE(h->maximum(), 0);

        view.setImage(QSize(640, 480), 2, 1);
        QTRY_VERIFY(h->isVisible());
        QVERIFY(h->maximum() > 0);
        QTRY_VERIFY(!v->isVisible() || v->maximum() > 0);

        view.setImage(QSize(640, 480), 0.5, 0.5);
        QTRY_VERIFY(!h->isVisible() && !v->isVisible());
    }
};

QTEST_MAIN(ZoomedImageViewTest)
#include "zoomed_image_view_test.moc"
