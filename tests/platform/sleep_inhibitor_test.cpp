// The sleep inhibitor against stand-in desktop services on a private bus.
#include "platform/sleep_inhibitor.h"

#include <QDBusConnection>
#include <QDBusUnixFileDescriptor>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <cstdlib>
#include <mutex>
#include <poll.h>
#include <unistd.h>

using platform::SleepInhibitor;

namespace {

struct Calls {
    std::mutex mutex;
    QStringList log;
    void add(const QString& s)
    {
        const std::lock_guard g(mutex);
        log.append(s);
    }
    QStringList get()
    {
        const std::lock_guard g(mutex);
        return log;
    }
};

class FakeLogind : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.login1.Manager")
public:
    FakeLogind(Calls& calls, int writeEnd) : m_calls(calls), m_writeEnd(writeEnd) {}
public Q_SLOTS:
    QDBusUnixFileDescriptor Inhibit(const QString& what, const QString& who, const QString& why, const QString& mode)
    {
        m_calls.add(QStringList{QStringLiteral("Inhibit"), what, who, why, mode}.join(QLatin1Char('|')));
        QDBusUnixFileDescriptor fd(m_writeEnd);  // keeps its own copy
        ::close(m_writeEnd);
        return fd;
    }

private:
    Calls& m_calls;
    int m_writeEnd;
};

class FakeScreenSaver : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.ScreenSaver")
public:
    explicit FakeScreenSaver(Calls& calls) : m_calls(calls) {}
public Q_SLOTS:
    uint Inhibit(const QString& app, const QString& reason)
    {
        m_calls.add(QStringLiteral("ScreenSaver.Inhibit|%1|%2").arg(app, reason));
        return 4711;
    }
    void UnInhibit(uint cookie) { m_calls.add(QStringLiteral("ScreenSaver.UnInhibit|%1").arg(cookie)); }

private:
    Calls& m_calls;
};

// A dbus-daemon of the test's own, standing in for both the system and the session bus.
class PrivateBus {
public:
    PrivateBus()
    {
        const QString daemon = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
        if (daemon.isEmpty())
            return;
        m_process.start(daemon, {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--print-address=1")});
        if (m_process.waitForReadyRead(10000))
            m_address = QString::fromUtf8(m_process.readLine()).trimmed();
    }
    ~PrivateBus()
    {
        m_process.kill();
        m_process.waitForFinished();
    }
    const QString& address() const { return m_address; }

private:
    QProcess m_process;
    QString m_address;
};

bool readEndSeesEof(int readEnd, int timeoutMs)
{
    pollfd p{readEnd, POLLIN, 0};
    if (::poll(&p, 1, timeoutMs) <= 0)
        return false;
    char c;
    return ::read(readEnd, &c, 1) == 0;
}

}  // namespace

TEST(SleepInhibitor, HoldsBothLocksWhileAliveAndReleasesThemAfter)
{
    PrivateBus bus;
    if (bus.address().isEmpty())
        GTEST_SKIP() << "dbus-daemon is not available";

    int pipeFds[2];
    ASSERT_EQ(::pipe(pipeFds), 0);
    Calls calls;
    QThread serviceThread;
    FakeLogind logind(calls, pipeFds[1]);
    FakeScreenSaver screenSaver(calls);
    logind.moveToThread(&serviceThread);
    screenSaver.moveToThread(&serviceThread);
    serviceThread.start();

    QDBusConnection services = QDBusConnection::connectToBus(bus.address(), QStringLiteral("services"));
    ASSERT_TRUE(services.isConnected());
    ASSERT_TRUE(services.registerObject(QStringLiteral("/org/freedesktop/login1"), &logind, QDBusConnection::ExportAllSlots));
    ASSERT_TRUE(
        services.registerObject(QStringLiteral("/org/freedesktop/ScreenSaver"), &screenSaver, QDBusConnection::ExportAllSlots));
    ASSERT_TRUE(services.registerService(QStringLiteral("org.freedesktop.login1")));
    ASSERT_TRUE(services.registerService(QStringLiteral("org.freedesktop.ScreenSaver")));

    QDBusConnection client = QDBusConnection::connectToBus(bus.address(), QStringLiteral("client"));
    {
        SleepInhibitor inhibitor(client, client, QStringLiteral("Vellumet"), QStringLiteral("live picture"));
        EXPECT_TRUE(inhibitor.holdsSleepLock());
        EXPECT_TRUE(inhibitor.holdsScreenSaverLock());
        EXPECT_FALSE(readEndSeesEof(pipeFds[0], 0));  // the lock is held
    }
    EXPECT_TRUE(readEndSeesEof(pipeFds[0], 5000));  // closing the descriptor released it
    EXPECT_EQ(
        calls.get(),
        (QStringList{QStringLiteral("Inhibit|sleep:idle|Vellumet|live picture|block"),
                     QStringLiteral("ScreenSaver.Inhibit|Vellumet|live picture"), QStringLiteral("ScreenSaver.UnInhibit|4711")}));

    QDBusConnection::disconnectFromBus(QStringLiteral("client"));
    QDBusConnection::disconnectFromBus(QStringLiteral("services"));
    serviceThread.quit();
    serviceThread.wait();
    ::close(pipeFds[0]);
}

TEST(SleepInhibitor, DoesNothingWithoutABusOrServices)
{
    // The test environment points both bus addresses nowhere.
    SleepInhibitor inhibitor(QStringLiteral("Vellumet"), QStringLiteral("live picture"));
    EXPECT_FALSE(inhibitor.holdsSleepLock());
    EXPECT_FALSE(inhibitor.holdsScreenSaverLock());

    PrivateBus bus;
    if (bus.address().isEmpty())
        GTEST_SKIP() << "dbus-daemon is not available";
    QDBusConnection client = QDBusConnection::connectToBus(bus.address(), QStringLiteral("lonely"));
    {
        SleepInhibitor onEmptyBus(client, client, QStringLiteral("Vellumet"), QStringLiteral("live picture"));
        EXPECT_FALSE(onEmptyBus.holdsSleepLock());
        EXPECT_FALSE(onEmptyBus.holdsScreenSaverLock());
    }
    QDBusConnection::disconnectFromBus(QStringLiteral("lonely"));
}

// Where no session bus runs, the bus library would start one itself
// ("autolaunch", by running dbus-launch) when asked for the session bus, and
// that child could hang start-up for ever. Checked in a process of its own,
// as the bus library keeps its first answer for the whole process: no bus
// address, a runtime folder without a bus socket, a display, and a
// dbus-launch on the PATH that leaves a mark when it runs.
TEST(SleepInhibitorDeathTest, NeverStartsASessionBusWhereNoneRuns)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            QTemporaryDir dir;
            const QString mark = dir.filePath(QStringLiteral("dbus-launch-ran"));
            const QString bin = dir.filePath(QStringLiteral("bin"));
            QDir().mkpath(bin);
            QDir().mkpath(dir.filePath(QStringLiteral("run")));
            QFile launcher(bin + QLatin1String("/dbus-launch"));
            if (!launcher.open(QIODevice::WriteOnly))
                std::_Exit(3);
            launcher.write("#!/bin/sh\ntouch \"$VELLUMET_LAUNCH_MARK\"\nexit 1\n");
            launcher.close();
            launcher.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
            qunsetenv("DBUS_SESSION_BUS_ADDRESS");
            qputenv("XDG_RUNTIME_DIR", QFile::encodeName(dir.filePath(QStringLiteral("run"))));
            qputenv("DISPLAY", ":97");
            qputenv("PATH", QFile::encodeName(bin) + ':' + qgetenv("PATH"));
            qputenv("VELLUMET_LAUNCH_MARK", QFile::encodeName(mark));
            int verdict = 0;
            {
                SleepInhibitor inhibitor(QStringLiteral("Vellumet"), QStringLiteral("live picture"));
                verdict = inhibitor.holdsScreenSaverLock() ? 2 : 0;
            }
            if (QFileInfo::exists(mark))
                verdict = 1;
            dir.remove();
            std::_Exit(verdict);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST(SleepInhibitor, TheSessionBusIsTheOneNamedOrTheRuntimeFoldersSocket)
{
    QTemporaryDir run;
    const QByteArray savedAddress = qgetenv("DBUS_SESSION_BUS_ADDRESS");
    const QByteArray savedRuntime = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(run.path()));
    qputenv("DBUS_SESSION_BUS_ADDRESS", "autolaunch:");
    EXPECT_EQ(platform::sessionBusAddress(), QString());
    QFile socketStandIn(run.filePath(QStringLiteral("bus")));
    ASSERT_TRUE(socketStandIn.open(QIODevice::WriteOnly));
    socketStandIn.close();
    EXPECT_EQ(platform::sessionBusAddress(),
              QLatin1String("unix:path=") + QString::fromLatin1(QFile::encodeName(run.path()).toPercentEncoding("/\\*", "~"))
                  + QLatin1String("/bus"));
    qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/run/user/1000/bus;autolaunch:");
    EXPECT_EQ(platform::sessionBusAddress(), QStringLiteral("unix:path=/run/user/1000/bus"));
    qputenv("DBUS_SESSION_BUS_ADDRESS", savedAddress);
    qputenv("XDG_RUNTIME_DIR", savedRuntime);
}

#include "sleep_inhibitor_test.moc"
