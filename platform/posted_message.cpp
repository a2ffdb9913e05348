#include "posted_message.h"

#include <QCoreApplication>
#include <QObject>

namespace platform {

PostedMessage::PostedMessage(int number, qintptr wParam, qintptr lParam, std::any payload)
    : QEvent(static_cast<QEvent::Type>(number)), m_wParam(wParam), m_lParam(lParam), m_payload(std::move(payload))
{
}

bool postMessage(QObject* receiver, int number, qintptr wParam, qintptr lParam, std::any payload)
{
    if (!receiver || number < QEvent::User || number > QEvent::MaxUser)
        return false;
    auto* message = new PostedMessage(number, wParam, lParam, std::move(payload));
    VELLUMET_TSAN_RELEASE(message);
    QCoreApplication::postEvent(receiver, message);
    return true;
}

}  // namespace platform
