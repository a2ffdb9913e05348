// The live window's part of the magnifier: the square of the picture as
// shown, centred under the mouse, goes to the magnifier window as an image
// of its own in message 1138, and again with each new frame while the mouse
// rests on the picture, so the magnifier follows the live picture.
#include "CDeviceView.h"

#include "capture/device/live_stream.h"

#include "base/view_host.h"
#include "platform/posted_message.h"

#include <QPainter>

namespace capture {

namespace {

// Points outside the picture are black.
QImage squareAround(const QImage& shown, QPoint centre, int side)
{
    QImage square(side, side, QImage::Format_RGB32);
    square.fill(Qt::black);
    QPainter p(&square);
    p.drawImage(QPoint(side / 2 - centre.x(), side / 2 - centre.y()), shown);
    return square;
}

}  // namespace

void CDeviceView::feedMagnifier(QPoint windowPos)
{
    m_magnifierAt = windowPos;
    const int mode = m_host.magnifierMode();
    QObject* magnifier = m_host.magnifierWindow();
    if (mode < 1 || mode > 3 || !magnifier || !m_connected)
        return;
    // The display image is drawn at the viewport's origin: window points are its points.
    const QImage* shown = m_device->mailbox().latest();
    if (shown && !shown->isNull())
        platform::postMessage(magnifier, platform::msg::MagnifierUpdated, 0, 0,
                              squareAround(*shown, windowPos, base::magnifierSide(mode)));
}

}  // namespace capture
