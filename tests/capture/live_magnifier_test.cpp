// The live window feeds the magnifier: the square under the mouse, of the
// level's size, handed over as an image of its own.
#include "capture/device/live_stream.h"
#include "capture/ui/CDeviceView.h"

#include "platform/posted_message.h"

#include "live_view_helpers.h"

#include <QMouseEvent>
#include <QtTest>

using namespace capture;

namespace {

// Keeps the squares the magnifier window is sent.
class SquareCatcher : public QObject {
public:
    QList<QImage> squares;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (auto* message = dynamic_cast<platform::PostedMessage*>(event);
            message && message->number() == platform::msg::MagnifierUpdated) {
            const QImage* square = message->payload<QImage>();
            squares.append(square ? *square : QImage());
            return true;
        }
        return false;
    }
};

void moveMouse(QWidget* area, QPoint at)
{
    QMouseEvent move(QEvent::MouseMove, at, area->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(area, &move);
}

}  // namespace

class LiveMagnifierTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void theSquareUnderTheMouseGoesToTheMagnifier()
    {
        testing_support::LiveRig rig;
        SquareCatcher catcher;
        rig.host.window.installEventFilter(&catcher);
        const auto found = rig.backend.enumerate();
        CDeviceView view(usbSlotStream(1), rig.backend.open(found[0].devicePath), rig.host);
        view.resize(500, 400);
        view.show();
        QTRY_VERIFY(view.stream().latestFrame().frameArrived && view.stream().mailbox().latest());

        // Off: nothing is sent.
        moveMouse(view.viewport(), QPoint(100, 80));
        QCoreApplication::processEvents();
        QVERIFY(catcher.squares.isEmpty());

        rig.host.magnifier = 2;  // 50 x 50
        moveMouse(view.viewport(), QPoint(100, 80));
        QTRY_VERIFY(!catcher.squares.isEmpty());
        const QImage square = catcher.squares.constFirst();
        QCOMPARE(square.size(), QSize(50, 50));
        QVERIFY(QColor(square.pixel(25, 25)) != QColor(Qt::black));

        // At the picture's corner, what lies outside it is black.
        rig.host.magnifier = 3;
        catcher.squares.clear();
        moveMouse(view.viewport(), QPoint(0, 0));
        QTRY_VERIFY(!catcher.squares.isEmpty());
        QCOMPARE(catcher.squares.constFirst().size(), QSize(30, 30));
        QCOMPARE(QColor(catcher.squares.constFirst().pixel(2, 2)), QColor(Qt::black));
    }
};

QTEST_MAIN(LiveMagnifierTest)
#include "live_magnifier_test.moc"
