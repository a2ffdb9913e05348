#pragma once

#include <QObject>

namespace platform {

// Tells when the user unlocks this login session again (logind's Unlock
// signal on the session object). Silent without a system bus or logind; no
// call to the bus waits longer than a second.
class SessionUnlockWatcher : public QObject {
    Q_OBJECT
public:
    explicit SessionUnlockWatcher(QObject* parent = nullptr);
    // Whether the signal could be subscribed to.
    bool watching() const { return m_watching; }

Q_SIGNALS:
    void unlocked();

private Q_SLOTS:
    void onUnlock();

private:
    bool m_watching = false;
};

}  // namespace platform
