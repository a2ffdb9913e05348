#pragma once

#include <QRect>
#include <QSize>

namespace reelix {

// Where the player window's controls sit. The window opens at the size of its
// background; from then on the video area fills the window but for a border
// and the control strip, the group frame and the slider follow the bottom
// edge with the group frame centred, and the buttons and the time label stay
// where they were.
struct WindowLayout {
    QRect videoArea;
    QRect groupFrame;
    QRect slider;
};

// The client size the window opens at, which is also its smallest size.
inline constexpr QSize kInitialClientSize{595, 475};

// The buttons (open, play, pause, stop) and the time label never move.
inline constexpr int kButtonTop = 424;
inline constexpr int kButtonLefts[4] = {27, 74, 121, 169};
inline constexpr QSize kButtonSize{42, 42};
inline constexpr QRect kTimeLabelRect{215, 447, 200, 18};

// The placement for a client area of `client` size: the opening placement at
// the opening size, the resize rule at any other.
WindowLayout layoutFor(const QSize& client);

}  // namespace reelix
