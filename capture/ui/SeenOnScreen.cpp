#include "SeenOnScreen.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace capture {

bool seenOnScreen(const QWidget& widget)
{
    // The visible region leaves out what parents clip and opaque siblings
    // cover, such as a maximised window of the same workspace.
    if (!widget.isVisible() || widget.window()->isMinimized() || widget.visibleRegion().isEmpty())
        return false;
    const QRect global(widget.mapToGlobal(QPoint(0, 0)), widget.size());
    const QList<QScreen*> screens = QGuiApplication::screens();
    return std::any_of(screens.begin(), screens.end(), [&](const QScreen* s) { return s->geometry().intersects(global); });
}

}  // namespace capture
