// The file is laid out as
//   RIFF 'AVI ' { LIST hdrl { avih, LIST strl { strh, strf, indx }, LIST odml { dmlh } },
//                 LIST movi { frames..., ix00 }, idx1 }
//   RIFF 'AVIX' { LIST movi { frames..., ix00 } } ...
// The header has a fixed size, so it can be rewritten in place at any time;
// the indexes come at the end of each part, written when the part is full or
// the clip is closed.
#include "avi_writer.h"

#include "avi_chunks.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/uio.h>
#include <unistd.h>

namespace capture {

using riff::fourcc;

namespace {

// Parts the super index can point to: at 1 GB each, far more than a disk holds of one clip.
constexpr uint32_t kSuperIndexEntries = 256;
constexpr uint32_t kSuperIndexBytes = 24 + 16 * kSuperIndexEntries;
constexpr uint32_t kOdmlHeaderBytes = 248;
constexpr uint32_t kAvifHasIndex = 0x10;
constexpr uint32_t kAvifIsInterleaved = 0x100;
constexpr uint32_t kAviifKeyframe = 0x10;

uint32_t chunkId(AviCodec codec)
{
    return codec == AviCodec::Mjpg ? fourcc("00dc") : fourcc("00db");
}

// A standard index chunk of `n` frames, header included.
uint64_t standardIndexBytes(size_t n)
{
    return 8 + 24 + 8 * uint64_t(n);
}

uint64_t idx1Bytes(size_t n)
{
    return 8 + 16 * uint64_t(n);
}

}  // namespace

size_t aviFrameBytes(const AviStreamFormat& format)
{
    return size_t((format.width * 3 + 3) / 4 * 4) * size_t(format.height);
}

AviWriter::~AviWriter()
{
    close();
}

bool AviWriter::open(const QString& path, const AviStreamFormat& format)
{
    close();
    m_format = format;
    m_end = m_partStart = 0;
    m_totalFrames = m_firstPartFrames = m_largestFrame = 0;
    m_firstRiffSize = m_firstMoviSize = 0;
    m_partFrames.clear();
    m_parts.clear();
    m_inFirstPart = true;
    m_errno = 0;
    if (format.width <= 0 || format.height <= 0 || format.framesPerSecond == 0) {
        m_errno = EINVAL;
        return false;
    }
    // A clip already there stays as it is.
    m_fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (m_fd < 0) {
        m_errno = errno;
        return false;
    }
    // Tells the repairer at start-up that this clip is being written.
    ::flock(m_fd, LOCK_EX | LOCK_NB);
    m_end = headerBytes().size();  // the header's size is fixed: its sizes now count from its end
    m_moviStart = m_end - 12;
    const std::vector<uint8_t> header = headerBytes();
    if (!writeAt(0, header.data(), header.size())) {
        ::close(m_fd);
        m_fd = -1;
        QFile::remove(path);
        return false;
    }
    return true;
}

std::vector<uint8_t> AviWriter::headerBytes() const
{
    const uint32_t fps = m_format.framesPerSecond;
    const uint32_t frameBuffer = m_largestFrame + 8;
    const uint32_t imageBytes = uint32_t(aviFrameBytes(m_format));
    riff::Bytes b;
    b.u32(fourcc("RIFF"));
    b.u32(m_inFirstPart ? uint32_t(m_end - 8) : m_firstRiffSize);  // m_end is past the header
    b.u32(fourcc("AVI "));
    b.u32(fourcc("LIST"));
    const size_t hdrlSize = b.size();
    b.u32(0);
    b.u32(fourcc("hdrl"));

    b.u32(fourcc("avih"));
    b.u32(56);
    b.u32(1000000 / fps);         // microseconds per frame
    b.u32(m_largestFrame * fps);  // bytes per second at most
    b.u32(0);                     // padding granularity
    b.u32(kAvifIsInterleaved | (m_parts.empty() ? 0 : kAvifHasIndex));
    b.u32(m_inFirstPart ? m_totalFrames : m_firstPartFrames);  // of the first part only
    b.u32(0);                                                  // initial frames
    b.u32(1);                                                  // streams
    b.u32(frameBuffer);
    b.u32(uint32_t(m_format.width));
    b.u32(uint32_t(m_format.height));
    b.zeros(16);

    b.u32(fourcc("LIST"));
    const size_t strlSize = b.size();
    b.u32(0);
    b.u32(fourcc("strl"));
    b.u32(fourcc("strh"));
    b.u32(56);
    b.u32(fourcc("vids"));
    b.u32(m_format.codec == AviCodec::Mjpg ? fourcc("MJPG") : 0);
    b.u32(0);  // flags
    b.u16(0);  // priority
    b.u16(0);  // language
    b.u32(0);  // initial frames
    b.u32(1);  // scale
    b.u32(fps);
    b.u32(0);  // start
    b.u32(m_totalFrames);
    b.u32(frameBuffer);
    b.u32(0xffffffff);  // quality: the default
    b.u32(0);           // sample size: varies
    b.u16(0);
    b.u16(0);
    b.u16(uint16_t(m_format.width));
    b.u16(uint16_t(m_format.height));

    b.u32(fourcc("strf"));
    b.u32(40);
    b.u32(40);
    b.u32(uint32_t(m_format.width));
    b.u32(uint32_t(m_format.height));  // positive: bottom-up rows
    b.u16(1);
    b.u16(24);
    b.u32(m_format.codec == AviCodec::Mjpg ? fourcc("MJPG") : 0);
    b.u32(imageBytes);
    b.zeros(16);

    // The super index: one entry per finished part.
    b.u32(fourcc("indx"));
    b.u32(kSuperIndexBytes);
    b.u16(4);  // longs per entry
    b.u8(0);   // sub-type
    b.u8(0);   // an index of indexes
    b.u32(uint32_t(m_parts.size()));
    b.u32(chunkId(m_format.codec));
    b.zeros(12);
    for (const PartIndex& part : m_parts) {
        b.u64(part.offset);
        b.u32(part.size);
        b.u32(part.frames);
    }
    b.zeros(16 * (kSuperIndexEntries - m_parts.size()));
    b.put32(strlSize, uint32_t(b.size() - strlSize - 4));

    b.u32(fourcc("LIST"));
    b.u32(4 + 8 + kOdmlHeaderBytes);
    b.u32(fourcc("odml"));
    b.u32(fourcc("dmlh"));
    b.u32(kOdmlHeaderBytes);
    b.u32(m_totalFrames);  // of all parts
    b.zeros(kOdmlHeaderBytes - 4);
    b.put32(hdrlSize, uint32_t(b.size() - hdrlSize - 4));

    b.u32(fourcc("LIST"));
    b.u32(m_inFirstPart ? uint32_t(m_end - b.size() - 4) : m_firstMoviSize);
    b.u32(fourcc("movi"));
    return std::move(b.data);
}

bool AviWriter::writeAll(const void* data, size_t size)
{
    return writeAt(m_end, data, size);
}

bool AviWriter::writeAt(uint64_t offset, const void* data, size_t size)
{
    const auto* p = static_cast<const uint8_t*>(data);
    while (size > 0) {
        const ssize_t n = ::pwrite(m_fd, p, size, off_t(offset));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            fail(n < 0 ? errno : ENOSPC);
            return false;
        }
        p += n;
        size -= size_t(n);
        offset += uint64_t(n);
    }
    return true;
}

void AviWriter::fail(int error)
{
    if (m_errno == 0)
        m_errno = error;
}

bool AviWriter::writeFrame(const uint8_t* data, size_t size)
{
    if (m_fd < 0 || m_errno != 0)
        return false;
    if (size > 0x7fffffff - 16) {
        fail(EFBIG);
        return false;
    }
    const uint64_t chunk = 8 + riff::padded(size);
    const size_t n = m_partFrames.size() + 1;
    const uint64_t closing = standardIndexBytes(n) + (m_inFirstPart ? idx1Bytes(n) : 0);
    if (!m_partFrames.empty() && m_end + chunk + closing - m_partStart > m_partLimit) {
        if (m_parts.size() + 2 > kSuperIndexEntries) {
            fail(EFBIG);
            return false;
        }
        if (!finishPart() || !startPart())
            return false;
    }
    uint8_t head[8];
    const uint32_t id = chunkId(m_format.codec);
    std::memcpy(head, &id, 4);
    const uint32_t length = uint32_t(size);
    std::memcpy(head + 4, &length, 4);
    uint8_t pad = 0;
    iovec parts[3] = {{head, 8}, {const_cast<uint8_t*>(data), size}, {&pad, size & 1}};
    // One call for the whole chunk; a short write goes on where it stopped.
    size_t done = 0;
    while (done < chunk) {
        iovec rest[3];
        int count = 0;
        size_t skip = done;
        for (const iovec& part : parts) {
            if (skip >= part.iov_len) {
                skip -= part.iov_len;
                continue;
            }
            rest[count++] = {static_cast<uint8_t*>(part.iov_base) + skip, part.iov_len - skip};
            skip = 0;
        }
        const ssize_t w = ::pwritev(m_fd, rest, count, off_t(m_end + done));
        if (w < 0 && errno == EINTR)
            continue;
        if (w <= 0) {
            fail(w < 0 ? errno : ENOSPC);
            // Back to the last whole frame: the clip stays playable.
            // (Should that fail too, the repair drops the cut chunk.)
            [[maybe_unused]] const int cut = ::ftruncate(m_fd, off_t(m_end));
            return false;
        }
        done += size_t(w);
    }
    m_partFrames.push_back({m_end, length});
    m_end += chunk;
    ++m_totalFrames;
    m_largestFrame = std::max(m_largestFrame, length);
    return true;
}

bool AviWriter::startPart()
{
    riff::Bytes b;
    b.u32(fourcc("RIFF"));
    b.u32(4 + 12);
    b.u32(fourcc("AVIX"));
    b.u32(fourcc("LIST"));
    b.u32(4);
    b.u32(fourcc("movi"));
    if (!writeAll(b.data.data(), b.size()))
        return false;
    m_partStart = m_end;
    m_moviStart = m_end + 12;
    m_end += b.size();
    return true;
}

// The part's standard index at the end of its "movi" list, for the first
// part also idx1, and the sizes of its lists.
bool AviWriter::finishPart()
{
    const uint64_t base = m_moviStart + 8;  // the "movi" type: offsets count from here
    const uint32_t id = chunkId(m_format.codec);
    riff::Bytes b;
    b.u32(fourcc("ix00"));
    b.u32(uint32_t(standardIndexBytes(m_partFrames.size()) - 8));
    b.u16(2);  // longs per entry
    b.u8(0);   // sub-type: frames
    b.u8(1);   // an index of chunks
    b.u32(uint32_t(m_partFrames.size()));
    b.u32(id);
    b.u64(base);
    b.u32(0);
    for (const IndexEntry& e : m_partFrames) {
        b.u32(uint32_t(e.offset + 8 - base));  // the frame's data; all are key frames
        b.u32(e.size);
    }
    const uint64_t indexAt = m_end;
    const uint64_t moviEnd = m_end + b.size();
    if (m_inFirstPart) {
        b.u32(fourcc("idx1"));
        b.u32(uint32_t(16 * m_partFrames.size()));
        for (const IndexEntry& e : m_partFrames) {
            b.u32(id);
            b.u32(kAviifKeyframe);
            b.u32(uint32_t(e.offset - base));
            b.u32(e.size);
        }
    }
    if (!writeAll(b.data.data(), b.size()))
        return false;
    const uint64_t partEnd = m_end + b.size();
    m_parts.push_back({indexAt, uint32_t(moviEnd - indexAt), uint32_t(m_partFrames.size())});
    const uint32_t riffSize = uint32_t(partEnd - m_partStart - 8);
    const uint32_t moviSize = uint32_t(moviEnd - m_moviStart - 8);
    m_end = partEnd;
    if (m_inFirstPart) {
        m_inFirstPart = false;
        m_firstRiffSize = riffSize;
        m_firstMoviSize = moviSize;
        m_firstPartFrames = uint32_t(m_partFrames.size());
    } else {
        uint8_t size[4];
        std::memcpy(size, &riffSize, 4);
        if (!writeAt(m_partStart + 4, size, 4))
            return false;
        std::memcpy(size, &moviSize, 4);
        if (!writeAt(m_moviStart + 4, size, 4))
            return false;
    }
    m_partFrames.clear();
    return refreshHeader();
}

bool AviWriter::refreshHeader()
{
    if (m_fd < 0)
        return false;
    const std::vector<uint8_t> header = headerBytes();
    if (!writeAt(0, header.data(), header.size()))
        return false;
    if (m_inFirstPart || m_partFrames.empty())
        return true;
    // The open part's sizes as they are now.
    const uint32_t riffSize = uint32_t(m_end - m_partStart - 8);
    const uint32_t moviSize = uint32_t(m_end - m_moviStart - 8);
    uint8_t size[4];
    std::memcpy(size, &riffSize, 4);
    if (!writeAt(m_partStart + 4, size, 4))
        return false;
    std::memcpy(size, &moviSize, 4);
    return writeAt(m_moviStart + 4, size, 4);
}

bool AviWriter::sync()
{
    if (m_fd < 0)
        return false;
    if (::fdatasync(m_fd) != 0) {
        fail(errno);
        return false;
    }
    return true;
}

bool AviWriter::close()
{
    if (m_fd < 0)
        return false;
    const uint64_t framesEnd = m_end;
    const size_t parts = m_parts.size();
    const bool inFirstPart = m_inFirstPart;
    const bool whole = finishPart() && sync();
    if (!whole) {
        // No room for the index: the frames stay, the header counts them,
        // and the repair at the next start adds the index.
        if (::ftruncate(m_fd, off_t(framesEnd)) == 0)
            m_end = framesEnd;
        m_parts.resize(parts);
        m_inFirstPart = inFirstPart;
        refreshHeader();
        ::fdatasync(m_fd);
    }
    ::close(m_fd);
    m_fd = -1;
    return whole && m_errno == 0;
}

QString AviWriter::errorText() const
{
    return m_errno == 0 ? QString() : QString::fromLocal8Bit(std::strerror(m_errno));
}

}  // namespace capture
