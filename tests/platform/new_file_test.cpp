// New files that never take the place of another.
#include "platform/atomic_file.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <thread>
#include <vector>

namespace {

QString numbered(const QString& folder, int n)
{
    return folder + (n == 0 ? QStringLiteral("/shot.jpg") : QStringLiteral("/shot_%1.jpg").arg(n));
}

QByteArray contents(const QString& path)
{
    QByteArray bytes;
    return platform::readWholeFile(path, bytes) ? bytes : QByteArray("<unreadable>");
}

}  // namespace

TEST(NewFile, TakesTheFirstFreeNameAndLeavesTheOthersAlone)
{
    QTemporaryDir dir;
    const auto name = [&dir](int n) { return numbered(dir.path(), n); };
    ASSERT_TRUE(platform::writeFileAtomically(name(0), "first"));
    ASSERT_TRUE(platform::writeFileAtomically(name(1), "second"));

    EXPECT_EQ(platform::writeNewFile(name, "third"), name(2));
    EXPECT_EQ(contents(name(0)), QByteArray("first"));
    EXPECT_EQ(contents(name(1)), QByteArray("second"));
    EXPECT_EQ(contents(name(2)), QByteArray("third"));
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(name(2)).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0644u);
    // Nothing half-written or temporary stays beside them.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 3);
}

TEST(NewFile, ADanglingLinkIsATakenName)
{
    QTemporaryDir dir;
    const auto name = [&dir](int n) { return numbered(dir.path(), n); };
    ASSERT_TRUE(QFile::link(dir.filePath(QStringLiteral("gone")), name(0)));
    EXPECT_EQ(platform::writeNewFile(name, "picture"), name(1));
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("gone"))));  // not written through the link
}

TEST(NewFile, FailureSaysWhyAndLeavesNothing)
{
    QTemporaryDir dir;
    QString error;
    const auto missing = [&dir](int n) { return numbered(dir.filePath(QStringLiteral("missing")), n); };
    EXPECT_EQ(platform::writeNewFile(missing, "x", &error), QString());
    EXPECT_EQ(error, QStringLiteral("No such file or directory"));
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).isEmpty());
}

// Writers that pick their names at the same moment, as two programs saving
// into one folder in the same second: every file keeps its own contents.
TEST(NewFile, WritersRacingForOneNameAllKeepTheirFiles)
{
    QTemporaryDir dir;
    const auto name = [&dir](int n) { return numbered(dir.path(), n); };
    constexpr int kWriters = 8, kRounds = 25;
    std::vector<std::vector<QString>> got(kWriters);
    std::vector<std::thread> writers;
    for (int w = 0; w < kWriters; ++w)
        writers.emplace_back([&, w] {
            for (int r = 0; r < kRounds; ++r)
                got[size_t(w)].push_back(platform::writeNewFile(name, QByteArray::number(w * 1000 + r)));
        });
    for (auto& writer : writers)
        writer.join();
    QSet<QString> names;
    for (int w = 0; w < kWriters; ++w)
        for (int r = 0; r < kRounds; ++r) {
            const QString& path = got[size_t(w)][size_t(r)];
            ASSERT_FALSE(path.isEmpty());
            names.insert(path);
            EXPECT_EQ(contents(path), QByteArray::number(w * 1000 + r)) << path.toStdString();
        }
    EXPECT_EQ(names.size(), kWriters * kRounds);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), kWriters * kRounds);
}
