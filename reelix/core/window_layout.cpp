#include "reelix/core/window_layout.h"

namespace reelix {

namespace {

constexpr WindowLayout kInitialLayout{QRect(2, 1, 589, 410), QRect(5, 410, 585, 60), QRect(210, 425, 375, 20), QPoint(0, 0)};

}  // namespace

WindowLayout layoutFor(const QSize& client)
{
    if (client == kInitialClientSize)
        return kInitialLayout;
    const WindowLayout& start = kInitialLayout;
    // The control strip moves as one: down by the growth of the height,
    // across so that the frame stays centred.
    const int down = client.height() - kInitialClientSize.height();
    const int across = (client.width() - start.groupFrame.width()) / 2 - start.groupFrame.x();
    return {QRect(7, 7, client.width() - 14, client.height() - 134), start.groupFrame.translated(across, down),
            start.slider.translated(across, down), QPoint(across, down)};
}

}  // namespace reelix
