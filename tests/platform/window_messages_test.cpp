// Messages between programs by window title, over the runtime folder's
// local sockets.
#include "platform/known_folders.h"
#include "platform/window_messages.h"

#include "window_on_thread.h"

#include <QCoreApplication>
#include <QFile>
#include <QLocalSocket>

#include <gtest/gtest.h>

using namespace platform;

namespace {

// Titles of their own: the tests of this folder share one runtime folder.
QString title(const char* name)
{
    return QStringLiteral("%1 %2").arg(QLatin1String(name)).arg(QCoreApplication::applicationPid());
}

}  // namespace

TEST(WindowMessages, AWindowAnswersEachMessageAndKeepsItsTitleFromASecond)
{
    const QString name = title("answers");
    testing_support::WindowOnThread window(name, 7);
    ASSERT_TRUE(window.isListening());
    EXPECT_TRUE(windowExists(name));
    EXPECT_EQ(sendWindowMessage(name, 4005), std::optional<qint64>(7));
    EXPECT_EQ(sendWindowMessage(name, 4004, 1, 2), std::optional<qint64>(7));
    EXPECT_EQ(window.received(), (std::vector<int>{4005, 4004}));

    MessageWindow second(name, [](int, qint64, qint64) { return qint64(0); });
    EXPECT_FALSE(second.isListening());
    EXPECT_EQ(sendWindowMessage(name, 1), std::optional<qint64>(7));
}

TEST(WindowMessages, NoWindowMeansNoAnswerAndASocketLeftBehindIsTakenOver)
{
    const QString name = title("gone");
    EXPECT_FALSE(windowExists(name));
    EXPECT_EQ(sendWindowMessage(name, 4005, 0, 0, 300), std::nullopt);

    // A program that ended without closing its socket left the file.
    QFile stale(runtimeFolder() + QLatin1String("/window-") + name + QLatin1String(".socket"));
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    stale.close();
    EXPECT_FALSE(windowExists(name));
    testing_support::WindowOnThread window(name, 3);
    EXPECT_TRUE(window.isListening());
    EXPECT_EQ(sendWindowMessage(name, 1), std::optional<qint64>(3));
}

TEST(WindowMessages, ALineThatIsNoMessageIsNotAnsweredAndTheWindowGoesOn)
{
    const QString name = title("garbage");
    testing_support::WindowOnThread window(name);
    for (const QByteArray& junk : {QByteArray("4004\n"), QByteArray("a b c\n"), QByteArray(200, 'x')}) {
        QLocalSocket socket;
        socket.connectToServer(runtimeFolder() + QLatin1String("/window-") + name + QLatin1String(".socket"));
        ASSERT_TRUE(socket.waitForConnected(1000));
        socket.write(junk);
        socket.waitForBytesWritten(1000);
        EXPECT_FALSE(socket.waitForReadyRead(300) && socket.canReadLine()) << junk.constData();
    }
    EXPECT_EQ(window.count(), 0);
    EXPECT_EQ(sendWindowMessage(name, 4005), std::optional<qint64>(1));
}
