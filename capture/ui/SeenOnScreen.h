#pragma once

class QWidget;

namespace capture {

// Whether any part of `widget` can be seen: shown, its window not minimised,
// not clipped away or covered whole (by a maximised window of the same
// workspace), and on some screen.
bool seenOnScreen(const QWidget& widget);

}  // namespace capture
