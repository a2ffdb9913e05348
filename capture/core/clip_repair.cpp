#include "clip_repair.h"

#include "avi_chunks.h"
#include "avi_writer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <optional>
#include <vector>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace capture {

using riff::fourcc;
using riff::le32;
using riff::padded;

namespace {

// A clip opened for reading, closed with the object.
class ClipFile {
public:
    explicit ClipFile(const QString& path) : m_fd(::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC))
    {
        struct stat st {};
        if (m_fd >= 0 && ::fstat(m_fd, &st) == 0)
            m_size = uint64_t(st.st_size);
    }
    ~ClipFile()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    ClipFile(const ClipFile&) = delete;
    ClipFile& operator=(const ClipFile&) = delete;

    bool isOpen() const { return m_fd >= 0; }
    int fd() const { return m_fd; }
    uint64_t size() const { return m_size; }
    // Exactly `n` bytes at `offset`, or false.
    bool read(uint64_t offset, void* out, size_t n) const
    {
        auto* p = static_cast<uint8_t*>(out);
        while (n > 0) {
            const ssize_t got = ::pread(m_fd, p, n, off_t(offset));
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0)
                return false;
            p += got;
            n -= size_t(got);
            offset += uint64_t(got);
        }
        return true;
    }
    // A chunk's id and size (and a list's type, when `type` is given).
    bool header(uint64_t offset, uint32_t& id, uint32_t& size, uint32_t* type = nullptr) const
    {
        uint8_t b[12];
        if (offset + (type ? 12 : 8) > m_size || !read(offset, b, type ? 12 : 8))
            return false;
        id = le32(b);
        size = le32(b + 4);
        if (type)
            *type = le32(b + 8);
        return true;
    }

private:
    int m_fd;
    uint64_t m_size = 0;
};

struct ClipHeader {
    AviStreamFormat format;
    uint64_t firstChild = 12;  // the first chunk after hdrl
};

// The video stream's format from "hdrl", which must be whole.
std::optional<ClipHeader> readHeader(const ClipFile& file)
{
    uint32_t id = 0, size = 0, type = 0;
    if (!file.header(0, id, size, &type) || id != fourcc("RIFF") || type != fourcc("AVI "))
        return std::nullopt;
    uint32_t listSize = 0;
    if (!file.header(12, id, listSize, &type) || id != fourcc("LIST") || type != fourcc("hdrl") || listSize > (1u << 20)
        || 20 + uint64_t(listSize) > file.size())
        return std::nullopt;
    std::vector<uint8_t> hdrl(listSize - 4);
    if (!file.read(24, hdrl.data(), hdrl.size()))
        return std::nullopt;
    ClipHeader header;
    header.firstChild = 20 + padded(listSize);
    // The first "strl" whose stream is video.
    const auto walk = [](const std::vector<uint8_t>& bytes, size_t from, size_t to, auto&& visit) {
        for (size_t at = from; at + 8 <= to;) {
            const uint32_t cid = le32(&bytes[at]);
            const uint32_t csize = le32(&bytes[at + 4]);
            if (at + 8 + csize > to)
                return;
            if (visit(cid, at + 8, size_t(csize)))
                return;
            at += 8 + size_t(padded(csize));
        }
    };
    bool found = false;
    walk(hdrl, 0, hdrl.size(), [&](uint32_t cid, size_t at, size_t csize) {
        if (cid != fourcc("LIST") || csize < 4 || le32(&hdrl[at]) != fourcc("strl"))
            return false;
        uint32_t rate = 0, scale = 0;
        bool video = false;
        walk(hdrl, at + 4, at + csize, [&](uint32_t sid, size_t sat, size_t ssize) {
            if (sid == fourcc("strh") && ssize >= 28) {
                video = le32(&hdrl[sat]) == fourcc("vids");
                scale = le32(&hdrl[sat + 20]);
                rate = le32(&hdrl[sat + 24]);
            } else if (sid == fourcc("strf") && ssize >= 40 && video) {
                const uint8_t* bih = &hdrl[sat];
                header.format.width = int32_t(le32(bih + 4));
                header.format.height = int32_t(le32(bih + 8));
                const uint16_t bits = riff::le16(bih + 14);
                const uint32_t compression = le32(bih + 16);
                if (compression == fourcc("MJPG")) {
                    header.format.codec = AviCodec::Mjpg;
                    found = true;
                } else if (compression == 0 && bits == 24 && header.format.height > 0) {
                    header.format.codec = AviCodec::Bgr24;
                    found = true;
                }
            }
            return false;
        });
        if (video && scale > 0)
            header.format.framesPerSecond = uint32_t(std::max(1.0, std::round(double(rate) / scale)));
        return video;
    });
    if (!found || header.format.width <= 0 || header.format.height <= 0 || header.format.width > 65535
        || header.format.height > 65535)
        return std::nullopt;
    return header;
}

bool isStreamChunk(uint32_t id)
{
    const auto c = [id](int i) { return char(id >> (8 * i)); };
    return std::isdigit(static_cast<unsigned char>(c(0))) && std::isdigit(static_cast<unsigned char>(c(1)));
}

// Offsets and sizes of the whole video frames, in file order: the movi lists'
// chunks read one after the other from the first one to the end of the file,
// whatever the (possibly stale) sizes of the lists around them say.
std::vector<std::pair<uint64_t, uint32_t>> scanFrames(const ClipFile& file, const ClipHeader& header)
{
    std::vector<std::pair<uint64_t, uint32_t>> frames;
    const uint32_t video = header.format.codec == AviCodec::Mjpg ? fourcc("00dc") : fourcc("00db");
    const size_t rowsBytes = aviFrameBytes(header.format);
    uint64_t at = header.firstChild;
    bool inMovi = false;
    uint32_t id = 0, size = 0;
    while (file.header(at, id, size)) {
        const uint64_t next = at + 8 + padded(size);
        if (id == fourcc("RIFF") || id == fourcc("LIST")) {
            uint32_t type = 0;
            if (!file.header(at, id, size, &type))
                break;
            if (type == fourcc("AVIX") || type == fourcc("movi") || type == fourcc("rec ")) {
                inMovi = inMovi || type == fourcc("movi");
                at += 12;  // into the list
                continue;
            }
        } else if (inMovi && (id == video || id == fourcc("00dc") || id == fourcc("00db"))) {
            if (at + 8 + uint64_t(size) > file.size())
                break;  // the chunk the end cut
            const bool whole = header.format.codec == AviCodec::Mjpg ? size > 2 : size == rowsBytes;
            if (whole)
                frames.emplace_back(at + 8, size);
        } else if (!isStreamChunk(id) && id != fourcc("JUNK") && id != fourcc("idx1")
                   && (id & 0xffffu) != (fourcc("ix00") & 0xffffu)) {
            break;  // not a chunk: whatever followed the last write
        }
        at = next;
    }
    return frames;
}

bool syncFolderOf(const QString& path)
{
    const int dir = ::open(QFile::encodeName(QFileInfo(path).absolutePath()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir < 0)
        return false;
    const bool ok = ::fsync(dir) == 0;
    ::close(dir);
    return ok;
}

}  // namespace

ClipCondition inspectClip(const QString& path)
{
    const ClipFile file(path);
    if (!file.isOpen())
        return ClipCondition::Unreadable;
    const std::optional<ClipHeader> header = readHeader(file);
    if (!header)
        return ClipCondition::Unreadable;
    uint32_t id = 0, riffSize = 0;
    file.header(0, id, riffSize);
    const uint64_t riffEnd = 8 + uint64_t(riffSize);
    if (riffEnd > file.size())
        return ClipCondition::Unfinished;
    bool movi = false, idx1 = false;
    uint32_t size = 0, type = 0;
    for (uint64_t at = header->firstChild; at < riffEnd; at += 8 + padded(size)) {
        if (!file.header(at, id, size) || at + 8 + size > riffEnd)
            return ClipCondition::Unfinished;
        if (id == fourcc("LIST") && file.header(at, id, size, &type) && type == fourcc("movi"))
            movi = true;
        idx1 = idx1 || id == fourcc("idx1");
    }
    if (!movi || !idx1)
        return ClipCondition::Unfinished;
    // Parts past the first 1 GB, each complete.
    uint64_t at = 8 + padded(riffSize);
    while (at < file.size()) {
        if (!file.header(at, id, size, &type) || id != fourcc("RIFF") || type != fourcc("AVIX") || at + 8 + size > file.size())
            return ClipCondition::Unfinished;
        at += 8 + padded(size);
    }
    return ClipCondition::Whole;
}

bool repairClip(const QString& path, uint32_t* framesOut, QString* error, const std::atomic<bool>* cancel)
{
    const auto failWith = [error](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    const ClipFile file(path);
    if (!file.isOpen())
        return failWith(QString::fromLocal8Bit(std::strerror(errno)));
    // A clip being written holds this lock; it is not ours to change.
    if (::flock(file.fd(), LOCK_EX | LOCK_NB) != 0)
        return failWith(QStringLiteral("the clip is being written"));
    const std::optional<ClipHeader> header = readHeader(file);
    if (!header)
        return failWith(QStringLiteral("not a readable clip"));
    const auto frames = scanFrames(file, *header);

    const QString repaired = path + QLatin1String(".repair");
    QFile::remove(repaired);  // what an interrupted repair left
    AviWriter out;
    if (!out.open(repaired, header->format))
        return failWith(out.errorText());
    std::vector<uint8_t> bytes;
    for (const auto& [offset, size] : frames) {
        bytes.resize(size);
        const bool stop = cancel && cancel->load();
        if (stop || !file.read(offset, bytes.data(), size) || !out.writeFrame(bytes.data(), size)) {
            const QString why = stop ? QStringLiteral("cancelled")
                : out.failed()       ? out.errorText()
                                     : QStringLiteral("read error");
            out.close();
            QFile::remove(repaired);
            return failWith(why);
        }
    }
    if (!out.close()) {
        const QString why = out.errorText();
        QFile::remove(repaired);
        return failWith(why);
    }
    // The clip keeps its time, so it stays where it was in the listings.
    struct stat st {};
    if (::fstat(file.fd(), &st) == 0) {
        const timespec times[2] = {st.st_atim, st.st_mtim};
        ::utimensat(AT_FDCWD, QFile::encodeName(repaired).constData(), times, 0);
    }
    if (::rename(QFile::encodeName(repaired).constData(), QFile::encodeName(path).constData()) != 0) {
        const QString why = QString::fromLocal8Bit(std::strerror(errno));
        QFile::remove(repaired);
        return failWith(why);
    }
    syncFolderOf(path);
    if (framesOut)
        *framesOut = uint32_t(frames.size());
    return true;
}

QStringList repairUnfinishedClips(const QStringList& videoFolders, const QDateTime& before, const std::atomic<bool>* cancel)
{
    QStringList repaired;
    for (const QString& folder : videoFolders) {
        const QFileInfoList clips = QDir(folder).entryInfoList({QStringLiteral("*.avi")}, QDir::Files, QDir::Name);
        for (const QFileInfo& clip : clips) {
            if (cancel && cancel->load())
                return repaired;
            if (clip.lastModified() >= before || inspectClip(clip.filePath()) != ClipCondition::Unfinished)
                continue;
            if (repairClip(clip.filePath(), nullptr, nullptr, cancel))
                repaired.append(clip.filePath());
        }
    }
    return repaired;
}

}  // namespace capture
