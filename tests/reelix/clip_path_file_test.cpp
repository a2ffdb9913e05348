#include "reelix/core/clip_path_file.h"

#include "sandbox.h"

#include <gtest/gtest.h>

using namespace reelix;

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

}  // namespace

TEST(ClipPathFile, HoldsSixteenBitLittleEndianCharacters)
{
    EXPECT_EQ(clipPathFromBytes(utf16le(QStringLiteral("/home/ann/Video/20260102030405.avi"))),
              QStringLiteral("/home/ann/Video/20260102030405.avi"));
}

TEST(ClipPathFile, IgnoresALastOddByte)
{
    QByteArray bytes = utf16le(QStringLiteral("/clips/a.avi"));
    bytes.append('X');
    EXPECT_EQ(clipPathFromBytes(bytes), QStringLiteral("/clips/a.avi"));
}

TEST(ClipPathFile, KeepsCharactersBeyondTheLowByte)
{
    // Greek, CJK and a character outside the basic plane (a surrogate pair).
    const QString path = QStringLiteral("/clips/\u03bc\u03b9\u03ba\u03c1\u03cc/\u986f\u5fae\u93e1 \U0001F52C.avi");
    EXPECT_EQ(clipPathFromBytes(utf16le(path)), path);
}

TEST(ClipPathFile, ALeadingByteOrderMarkAndATrailingLineBreakAreNotThePath)
{
    EXPECT_EQ(clipPathFromBytes(utf16le(QStringLiteral("\ufeff/clips/a.avi\r\n"))), QStringLiteral("/clips/a.avi"));
    EXPECT_EQ(clipPathFromBytes(utf16le(QStringLiteral("/clips/a.avi")) + QByteArray(4, '\0') + "junk"),
              QStringLiteral("/clips/a.avi"));
}

TEST(ClipPathFile, MissingOrEmptyNamesNothing)
{
    testing_support::Sandbox box;
    const QString file = box.programFolder() + QLatin1String("/folderpath.txt");
    EXPECT_TRUE(readClipPathFile(file).isEmpty());
    testing_support::writeFile(file, {});
    EXPECT_TRUE(readClipPathFile(file).isEmpty());
    testing_support::writeFile(file, QByteArray("A"));  // one odd byte: no character
    EXPECT_TRUE(readClipPathFile(file).isEmpty());
    testing_support::writeFile(file, utf16le(QStringLiteral("/clips/\u00e9t\u00e9.avi")) + 'Z');
    EXPECT_EQ(readClipPathFile(file), QStringLiteral("/clips/\u00e9t\u00e9.avi"));
}
