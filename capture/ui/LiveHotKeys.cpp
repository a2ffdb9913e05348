#include "LiveHotKeys.h"

#include "CDeviceView.h"

#include "platform/tsan_annotations.h"

#include <QApplication>
#include <QKeyEvent>

namespace capture {

LiveHotKeys& LiveHotKeys::instance()
{
    static LiveHotKeys keys;
    return keys;
}

void LiveHotKeys::add(CDeviceView* view)
{
    if (!m_installed && qApp) {
        qApp->installEventFilter(this);
        m_installed = true;
    }
    m_views.append(view);
    if (!m_current)
        m_current = view;
}

void LiveHotKeys::remove(CDeviceView* view)
{
    m_views.removeAll(view);
    m_views.removeAll(nullptr);
    if (m_current == view)
        m_current = m_views.isEmpty() ? nullptr : m_views.last();
}

void LiveHotKeys::setCurrent(CDeviceView* view)
{
    m_current = view;
}

CDeviceView* LiveHotKeys::target() const
{
    return m_current;
}

bool LiveHotKeys::eventFilter(QObject* watched, QEvent* event)
{
    // This filter sees every event, also messages a capture thread posted,
    // before their receiver takes the hand-over (Qt's queue lock orders them
    // unseen by the thread sanitizer): the poster's release is taken here.
    VELLUMET_TSAN_ACQUIRE(event);
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->modifiers() != Qt::NoModifier || (key->key() != Qt::Key_F2 && key->key() != Qt::Key_F3 && key->key() != Qt::Key_F4))
        return false;
    CDeviceView* view = m_current;
    if (!view || QApplication::activeModalWidget())
        return false;  // a dialog is asking something: the keys are its own
    view->hotKey(key->key());
    return true;
}

}  // namespace capture
