#pragma once

#include <QDBusConnection>
#include <QString>

#include <optional>

namespace platform {

// The session bus's address: DBUS_SESSION_BUS_ADDRESS, else the bus socket
// "$XDG_RUNTIME_DIR/bus" when it exists; empty when neither names a bus.
// Never "autolaunch:": the bus library would start a bus from inside the
// program (and its child can hang start-up for ever).
QString sessionBusAddress();

// Keeps the computer from sleeping and the screen from blanking while the
// program runs, through the desktop's D-Bus services: a logind "sleep:idle"
// inhibitor lock on the system bus and a screen-saver inhibition on the
// session bus. Both end when this object is destroyed, and the system ends
// them itself if the process dies, so a crash never leaves the machine
// awake for good. Without a bus or a service this does nothing, and no call
// waits longer than a second.
class SleepInhibitor {
public:
    SleepInhibitor(const QString& who, const QString& why);
    // For tests and special set-ups: the buses to use instead of the
    // standard ones (an unconnected connection is skipped).
    SleepInhibitor(const QDBusConnection& systemBus, const QDBusConnection& sessionBus, const QString& who, const QString& why);
    ~SleepInhibitor();
    SleepInhibitor(const SleepInhibitor&) = delete;
    SleepInhibitor& operator=(const SleepInhibitor&) = delete;

    bool holdsSleepLock() const { return m_logindFd >= 0; }
    bool holdsScreenSaverLock() const { return m_screenSaverCookie.has_value(); }

private:
    void acquire(const QString& who, const QString& why);

    QDBusConnection m_system;
    QDBusConnection m_session;
    bool m_ownSession = false;  // the session connection was opened here, and is closed here
    int m_logindFd = -1;
    std::optional<uint> m_screenSaverCookie;
};

}  // namespace platform
