#include "reelix/core/unplayable_clip.h"

#include "sandbox.h"

#include <QtEndian>

#include <gtest/gtest.h>

using namespace reelix;

namespace {

QByteArray chunk(const QByteArray& id, const QByteArray& data, quint32 statedSize = 0)
{
    QByteArray out = id;
    out.resize(8);
    qToLittleEndian<quint32>(statedSize ? statedSize : quint32(data.size()), out.data() + 4);
    return out + data;
}

// A RIFF AVI around `children`, its header list holding `header`.
QByteArray avi(const QByteArray& header, const QByteArray& children)
{
    const QByteArray body = "AVI " + chunk("LIST", "hdrl" + header) + children;
    return chunk("RIFF", body);
}

}  // namespace

TEST(UnplayableClip, TheFileSaysWhyNoPictureCame)
{
    testing_support::Sandbox box;
    const auto file = [&](const char* name, const QByteArray& bytes) {
        const QString path = box.path() + QLatin1Char('/') + QLatin1String(name);
        testing_support::writeFile(path, bytes);
        return path;
    };
    const QByteArray header = chunk("avih", QByteArray(56, '\0'));

    EXPECT_EQ(unplayableReason(box.path() + QLatin1String("/gone.avi")), QStringLiteral("the file does not exist"));
    EXPECT_EQ(unplayableReason(box.path()), QStringLiteral("it is not a file"));
    EXPECT_EQ(unplayableReason(file("empty.avi", {})), QStringLiteral("the file is empty"));
    EXPECT_EQ(unplayableReason(file("text.avi", QByteArray("a text, renamed\n").repeated(50))),
              QStringLiteral("it is not a video file Reelix can read"));
    const QByteArray whole = avi(header, chunk("LIST", "movi" + chunk("00dc", "\xff\xd8 not a picture")));
    EXPECT_EQ(unplayableReason(file("cut.avi", whole.left(40))), QStringLiteral("the file ends inside its header"));
    EXPECT_EQ(unplayableReason(file("tiny.avi", whole.left(14))), QStringLiteral("the file ends inside its header"));
    EXPECT_EQ(unplayableReason(file("none.avi", avi(header, chunk("LIST", "movi")))), QStringLiteral("it holds no pictures"));
    EXPECT_EQ(unplayableReason(file("bad.avi", whole)), QStringLiteral("its pictures cannot be decoded"));
    EXPECT_EQ(unplayableMessage(file("empty2.avi", {})), QStringLiteral("This clip cannot be played: the file is empty"));
}
