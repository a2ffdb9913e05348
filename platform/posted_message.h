#pragma once

#include "message_numbers.h"
#include "tsan_annotations.h"

#include <QEvent>
#include <QtGlobal>

#include <any>

class QObject;

namespace platform {

// A private window message as a Qt event: its type is the message number,
// with the two plain parameters and an owned payload (a path, a record).
// The payload travels with the event and is freed with it, so a message that
// never arrives leaks nothing.
class PostedMessage : public QEvent {
public:
    PostedMessage(int number, qintptr wParam, qintptr lParam, std::any payload = {});

    int number() const { return (received(), static_cast<int>(type())); }
    qintptr wParam() const { return (received(), m_wParam); }
    qintptr lParam() const { return (received(), m_lParam); }

    // The payload, or nullptr when there is none or it is of another type.
    template <typename T>
    const T* payload() const
    {
        return (received(), std::any_cast<T>(&m_payload));
    }
    // Moves the payload out to the receiver.
    std::any takePayload() { return (received(), std::move(m_payload)); }

private:
    // Everything the sender wrote happened before the receiver reads it.
    void received() const { VELLUMET_TSAN_ACQUIRE(this); }

    qintptr m_wParam;
    qintptr m_lParam;
    std::any m_payload;
};

// Posts a message to `receiver`; it is delivered on the receiver's thread by
// that thread's event loop. Safe to call from any thread. False when the
// receiver is null or the number lies outside Qt's user event range.
bool postMessage(QObject* receiver, int number, qintptr wParam = 0, qintptr lParam = 0, std::any payload = {});

}  // namespace platform
