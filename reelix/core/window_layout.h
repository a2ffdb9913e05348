#pragma once

#include <QRect>
#include <QSize>

namespace reelix {

// Where the player window's controls sit. The window opens at the size of its
// background; from then on the video area fills the window but for a border
// and the control strip, and the control strip (the group frame, the slider,
// the buttons and the time label) follows the bottom edge with the group
// frame centred. Buttons left where they opened would end up on the picture
// of a taller window.
struct WindowLayout {
    QRect videoArea;
    QRect groupFrame;
    QRect slider;
    // How far the buttons and the time label moved from where they opened.
    QPoint controlsShift;
};

// The client size the window opens at, which is also its smallest size.
inline constexpr QSize kInitialClientSize{595, 475};

// The buttons (open, play, pause, stop) and the time label where they open.
inline constexpr int kButtonTop = 424;
inline constexpr int kButtonLefts[4] = {27, 74, 121, 169};
inline constexpr QSize kButtonSize{42, 42};
inline constexpr QRect kTimeLabelRect{215, 447, 200, 18};

// The placement for a client area of `client` size: the opening placement at
// the opening size, the resize rule at any other.
WindowLayout layoutFor(const QSize& client);

}  // namespace reelix
