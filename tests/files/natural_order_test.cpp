#include "files/core/folder_sort.h"
#include "files/core/natural_order.h"

#include <gtest/gtest.h>

using namespace files;

TEST(NaturalOrder, NumbersCompareByValue)
{
    EXPECT_TRUE(naturalLess(u"img9", u"img10"));
    EXPECT_FALSE(naturalLess(u"img10", u"img9"));
    EXPECT_TRUE(naturalLess(u"9a", u"10a"));
    EXPECT_TRUE(naturalLess(u"a2b9", u"a2b10"));
}

TEST(NaturalOrder, LettersCompareWithoutCase)
{
    EXPECT_TRUE(naturalLess(u"Abc", u"abd"));
    EXPECT_FALSE(naturalLess(u"abd", u"Abc"));
    EXPECT_EQ(naturalCompare(u"ABC", u"abc"), 0);
}

TEST(NaturalOrder, DigitsComeBeforeEverythingElse)
{
    EXPECT_TRUE(naturalLess(u"99", u"a"));
    EXPECT_TRUE(naturalLess(u"1z", u"_a"));
    EXPECT_FALSE(naturalLess(u"a", u"0"));
}

TEST(NaturalOrder, EmptyFirstAndShorterPrefixFirst)
{
    EXPECT_TRUE(naturalLess(u"", u"a"));
    EXPECT_FALSE(naturalLess(u"a", u""));
    EXPECT_FALSE(naturalLess(u"", u""));
    EXPECT_TRUE(naturalLess(u"img", u"img1"));
}

TEST(NaturalOrder, NumbersBeyondSixtyFourBitsStillOrderByValue)
{
    EXPECT_TRUE(naturalLess(u"x99999999999999999999", u"x100000000000000000000"));
    EXPECT_TRUE(naturalLess(u"x18446744073709551616", u"x18446744073709551617"));
    // Equal values (leading zeros) go on to what follows them.
    EXPECT_TRUE(naturalLess(u"007a", u"7b"));
}

namespace {

FolderInfo folder(const char* name, const char* created)
{
    FolderInfo f;
    f.name = QString::fromUtf8(name);
    f.created = QString::fromUtf8(created);
    f.location = QStringLiteral("/f/") + f.name;
    return f;
}

QStringList names(const QList<FolderInfo>& folders)
{
    QStringList out;
    for (const FolderInfo& f : folders)
        out.append(f.name);
    return out;
}

}  // namespace

TEST(FolderSort, ByNameNaturalWithDigitsFirst)
{
    QList<FolderInfo> list{folder("img10", "1"), folder("Beta", "2"),  folder("img9", "3"),
                           folder("10a", "4"),   folder("alpha", "5"), folder("9a", "6")};
    sortFolders(list, 2);
    EXPECT_EQ(names(list), (QStringList{"9a", "10a", "alpha", "Beta", "img9", "img10"}));
}

TEST(FolderSort, ByCreationTimeAndStoredOrderUntouched)
{
    const QList<FolderInfo> stored{folder("a", "20240301000000"), folder("b", "20231231235959"), folder("c", "20240101120000")};
    QList<FolderInfo> list = stored;
    sortFolders(list, 0);
    EXPECT_EQ(names(list), names(stored));
    sortFolders(list, 1);
    EXPECT_EQ(names(list), (QStringList{"b", "c", "a"}));
}

TEST(FolderSort, EqualKeysKeepStoredOrder)
{
    QList<FolderInfo> list{folder("x", "2024"), folder("y", "2024"), folder("w", "2023")};
    sortFolders(list, 1);
    EXPECT_EQ(names(list), (QStringList{"w", "x", "y"}));
}

TEST(FolderSort, CommandCyclesStoredCreatedName)
{
    EXPECT_EQ(nextFolderOrder(0), 1);
    EXPECT_EQ(nextFolderOrder(1), 2);
    EXPECT_EQ(nextFolderOrder(2), 0);
    EXPECT_EQ(nextFolderOrder(7), 0);
}
