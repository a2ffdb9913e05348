#include "platform/text_files.h"

#include "sandbox.h"

#include <gtest/gtest.h>

using namespace platform;

TEST(TextFiles, WholeTextRoundTripJoinsLinesAndMissingFileIsEmpty)
{
    testing_support::Sandbox box;
    const QString path = box.path() + QLatin1String("/folderpath.txt");
    EXPECT_EQ(readWholeText(path), QString());
    ASSERT_TRUE(writeWholeText(path, QStringLiteral("/data/Säve/one\r\ntwo\nthree")));
    EXPECT_EQ(testing_support::readFile(path), QStringLiteral("/data/Säve/one\r\ntwo\nthree").toUtf8());
    EXPECT_EQ(readWholeText(path), QStringLiteral("/data/Säve/onetwothree"));
    EXPECT_FALSE(writeWholeText(box.path() + QLatin1String("/no/such/folder.txt"), QStringLiteral("x")));
}

TEST(TextFiles, NarrowCopyIsUtf8AndTerminated)
{
    const QByteArray n = toNarrow(QStringLiteral("µm"));
    EXPECT_EQ(n, QByteArray("\xC2\xB5m"));
    EXPECT_EQ(n.constData()[n.size()], '\0');
}
