// The real reelix program, started as the thumbnail browser or a user would.
#include "sandbox.h"
#include "test_clips.h"
#include "wait_for.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QtTest>

namespace {

QByteArray utf16le(const QString& text)
{
    QByteArray bytes;
    for (QChar c : text) {
        bytes.append(char(c.unicode() & 0xff));
        bytes.append(char(c.unicode() >> 8));
    }
    return bytes;
}

// What the program wrote to stderr so far, left to read again.
QByteArray errorOutput(QProcess& process)
{
    process.setReadChannel(QProcess::StandardError);
    return process.peek(process.bytesAvailable());
}

}  // namespace

class ReelixProgramTest : public QObject {
    Q_OBJECT

private:
    // Starts `program` with `arguments` and waits until it says what it plays
    // (or, with `expectPlaying` false, that it has nothing to play).
    static bool start(QProcess& process, const QString& program, const QStringList& arguments, bool expectPlaying)
    {
        process.setProcessChannelMode(QProcess::SeparateChannels);
        process.start(program, arguments);
        if (!process.waitForStarted())
            return false;
        const QByteArray said = expectPlaying ? QByteArray("reelix: playing") : QByteArray("reelix: no clip named");
        return testing_support::waitFor(
                   [&] { return process.state() != QProcess::Running || errorOutput(process).contains(said); }, 30000)
            && process.state() == QProcess::Running;
    }

    // Ends a helper process of the test.
    static void end(QProcess& process)
    {
        process.terminate();
        if (!process.waitForFinished(10000)) {
            process.kill();
            process.waitForFinished(10000);
        }
    }

    // Closes the program like a logout; it has to end on its own, cleanly.
    static void closeAndExpectItEnds(QProcess& process)
    {
        process.terminate();
        // Generous: a sanitizer build on a busy machine takes its time.
        const bool ended = process.waitForFinished(30000);
        if (!ended)
            process.kill();
        QVERIFY2(ended, "reelix did not end after it was closed");
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), 0);
    }

private Q_SLOTS:
    void closingWhilePlayingEndsTheProgram()
    {
        testing_support::Sandbox box;
        const QString clip = box.path() + QLatin1String("/minute.avi");
        QVERIFY(testing_support::writeRecordedClip(clip, 305, true));
        QProcess reelix;
        QVERIFY(start(reelix, QStringLiteral(REELIX_PROGRAM), {clip}, true));
        QTest::qWait(1500);  // well into the clip
        closeAndExpectItEnds(reelix);
    }

    void playsTheClipNamedBesideTheProgram()
    {
        testing_support::Sandbox box;
        const QString clip = box.path() + QLatin1String("/\u0398\u03ad\u03b1 \u986f\u5fae\u93e1.avi");
        QVERIFY(testing_support::writeRecordedClip(clip, 20, true));
        const QString program = box.programFolder() + QLatin1String("/reelix");
        QVERIFY(QFile::copy(QStringLiteral(REELIX_PROGRAM), program));
        testing_support::writeFile(box.programFolder() + QLatin1String("/folderpath.txt"), utf16le(clip) + '\x01');

        QProcess reelix;
        QVERIFY(start(reelix, program, {}, true));
        QVERIFY(QString::fromLocal8Bit(errorOutput(reelix)).contains(QLatin1String("reelix: playing ") + clip));
        closeAndExpectItEnds(reelix);
    }

    void opensInFrontOfTheWindowThatStartedIt()
    {
        // A display of the test's own with no window manager: a window gets
        // the keyboard there only when it asks for it.
        if (QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty())
            QSKIP("Xvfb is not installed (tools/setup.sh installs xvfb)");
        testing_support::Sandbox box;
        const QString clip = box.path() + QLatin1String("/minute.avi");
        QVERIFY(testing_support::writeRecordedClip(clip, 305, true));
        QProcess display;
        display.start(QStringLiteral("Xvfb"),
                      {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-nolisten"), QStringLiteral("tcp"),
                       QStringLiteral("-screen"), QStringLiteral("0"), QStringLiteral("800x600x24")});
        QVERIFY(
            testing_support::waitFor([&] { return display.canReadLine() || display.state() == QProcess::NotRunning; }, 30000));
        const QByteArray number = display.readLine().trimmed();
        QVERIFY2(!number.isEmpty(), "Xvfb gave no display");
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DISPLAY"), QLatin1Char(':') + QString::fromLatin1(number));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));

        // The window the clip is opened from has the keyboard...
        QProcess starter;
        starter.setProcessEnvironment(env);
        starter.start(QStringLiteral(REELIX_STARTER));
        QByteArray said;
        const auto starterSaid = [&](const QByteArray& line) {
            said += starter.readAllStandardOutput();
            return said.split('\n').contains(line);
        };
        QVERIFY(testing_support::waitFor([&] { return starterSaid("active"); }, 30000));

        // ...until reelix opens in front of it and takes it.
        QProcess reelix;
        reelix.setProcessEnvironment(env);
        QVERIFY(start(reelix, QStringLiteral(REELIX_PROGRAM), {clip}, true));
        const bool behind = !testing_support::waitFor([&] { return starterSaid("inactive"); }, 30000);
        closeAndExpectItEnds(reelix);
        end(starter);
        end(display);
        QVERIFY2(!behind, "reelix opened behind the window it was started from");
    }

    void withoutAPathFileItStartsIdle_data()
    {
        QTest::addColumn<bool>("emptyFile");
        QTest::newRow("missing") << false;
        QTest::newRow("empty") << true;
    }
    void withoutAPathFileItStartsIdle()
    {
        QFETCH(bool, emptyFile);
        testing_support::Sandbox box;
        const QString program = box.programFolder() + QLatin1String("/reelix");
        QVERIFY(QFile::copy(QStringLiteral(REELIX_PROGRAM), program));
        if (emptyFile)
            testing_support::writeFile(box.programFolder() + QLatin1String("/folderpath.txt"), {});

        QProcess reelix;
        QVERIFY(start(reelix, program, {}, false));
        closeAndExpectItEnds(reelix);
        QVERIFY(!reelix.readAllStandardError().contains("reelix: playing"));
    }
};

QTEST_GUILESS_MAIN(ReelixProgramTest)
#include "reelix_program_test.moc"
