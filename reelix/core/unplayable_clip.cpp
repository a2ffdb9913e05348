#include "reelix/core/unplayable_clip.h"

#include "reelix/core/reelix_texts.h"

#include <QFile>
#include <QFileInfo>
#include <QtEndian>

namespace reelix {

namespace {

// A chunk's id, size and (for a list) type at `at`; false past the end.
struct Chunk {
    QByteArray id;
    quint32 size = 0;
    QByteArray type;
};

bool readChunk(QFile& file, qint64 at, Chunk& chunk)
{
    if (at + 8 > file.size() || !file.seek(at))
        return false;
    const QByteArray head = file.read(12);
    if (head.size() < 8)
        return false;
    chunk.id = head.left(4);
    chunk.size = qFromLittleEndian<quint32>(head.constData() + 4);
    chunk.type = head.mid(8, 4);
    return true;
}

qint64 nextChunk(qint64 at, const Chunk& chunk)
{
    return at + 8 + qint64(chunk.size) + qint64(chunk.size & 1);
}

bool isPictureChunk(const QByteArray& id)
{
    return id.size() == 4 && id[0] >= '0' && id[0] <= '9' && id[1] >= '0' && id[1] <= '9'
        && (id.endsWith("dc") || id.endsWith("db"));
}

// An AVI clip: whether its header is whole and a picture follows it.
QString aviReason(QFile& file)
{
    Chunk chunk;
    qint64 at = 12;
    if (!readChunk(file, at, chunk) || chunk.id != "LIST" || chunk.type != "hdrl" || nextChunk(at, chunk) > file.size())
        return reelix::text("ClipCutInHeader", "the file ends inside its header");
    for (at = nextChunk(at, chunk); readChunk(file, at, chunk); at = nextChunk(at, chunk)) {
        if (chunk.id != "LIST" || chunk.type != "movi")
            continue;
        Chunk inner;
        if (readChunk(file, at + 12, inner) && isPictureChunk(inner.id))
            return reelix::text("ClipNotDecoded", "its pictures cannot be decoded");
        break;
    }
    return reelix::text("ClipNoPictures", "it holds no pictures");
}

}  // namespace

QString unplayableReason(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return reelix::text("ClipMissing", "the file does not exist");
    if (!info.isFile())
        return reelix::text("ClipNotAFile", "it is not a file");
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return reelix::text("ClipUnreadable", "the file cannot be read (%1)").arg(file.errorString());
    if (file.size() == 0)
        return reelix::text("ClipEmpty", "the file is empty");
    const QByteArray start = file.read(12);
    if (start.size() == 12 && start.startsWith("RIFF") && start.endsWith("AVI "))
        return aviReason(file);
    return reelix::text("ClipNotVideo", "it is not a video file Reelix can read");
}

QString unplayableMessage(const QString& path)
{
    return reelix::text("ClipUnplayable", "This clip cannot be played: %1").arg(unplayableReason(path));
}

}  // namespace reelix
