#pragma once

#include <QString>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace capture {

// What a clip's single video stream holds: camera JPEGs ("MJPG") or
// uncompressed 24-bit BGR frames, bottom-up rows padded to 4 bytes.
enum class AviCodec { Mjpg, Bgr24 };

struct AviStreamFormat {
    int32_t width = 0;
    int32_t height = 0;
    AviCodec codec = AviCodec::Mjpg;
    uint32_t framesPerSecond = 5;
};

// Bytes of one uncompressed frame of `format`.
size_t aviFrameBytes(const AviStreamFormat& format);

// An AVI file with one video stream, written so that whatever happens to the
// program the file keeps every frame that was written:
// - each frame goes to the file as one chunk the moment it is written (no
//   buffering of several frames in the program);
// - refreshHeader() brings the frame counts and sizes in the header up to
//   date, sync() pushes the file to the disk; the owner calls both about once
//   a second;
// - close() adds the indexes (idx1 for the first 1 GB, OpenDML standard
//   indexes and a super index for every part), so clips may grow past 1 GB
//   in further "AVIX" parts.
// A failed write cuts the file back to its last whole frame and refuses
// further frames; close() then still finishes the clip with those frames.
// One thread uses a writer at a time.
class AviWriter {
public:
    AviWriter() = default;
    ~AviWriter();
    AviWriter(const AviWriter&) = delete;
    AviWriter& operator=(const AviWriter&) = delete;

    // Creates the file (never over an existing one) and writes its header.
    bool open(const QString& path, const AviStreamFormat& format);
    bool isOpen() const { return m_fd >= 0; }
    // One frame: JPEG bytes, or aviFrameBytes() bytes of rows.
    bool writeFrame(const uint8_t* data, size_t size);
    bool refreshHeader();
    bool sync();
    // Finishes the clip; true when it was finished whole. Closing twice is harmless.
    bool close();

    uint32_t frames() const { return m_totalFrames; }
    bool failed() const { return m_errno != 0; }
    // errno of the first failure, 0 when none.
    int errorCode() const { return m_errno; }
    QString errorText() const;
    const AviStreamFormat& format() const { return m_format; }

    // A part (RIFF) ends once it would grow past this many bytes; tests make
    // it small to try many parts.
    void setPartLimit(uint64_t bytes) { m_partLimit = bytes; }

private:
    struct IndexEntry {
        uint64_t offset;  // of the chunk's header in the file
        uint32_t size;    // of its data
    };
    struct PartIndex {
        uint64_t offset;  // of the part's standard index chunk
        uint32_t size;    // its bytes, header included
        uint32_t frames;
    };

    std::vector<uint8_t> headerBytes() const;
    bool writeAll(const void* data, size_t size);
    bool writeAt(uint64_t offset, const void* data, size_t size);
    bool startPart();
    bool finishPart();
    void fail(int error);

    int m_fd = -1;
    AviStreamFormat m_format;
    uint64_t m_end = 0;  // end of the last whole chunk
    uint64_t m_partStart = 0;
    uint64_t m_moviStart = 0;  // of the current part's "movi" list (its "LIST" header)
    uint64_t m_partLimit = uint64_t(1) << 30;
    uint32_t m_totalFrames = 0;
    uint32_t m_firstPartFrames = 0;
    uint32_t m_largestFrame = 0;
    uint32_t m_firstRiffSize = 0;  // once the first part is finished
    uint32_t m_firstMoviSize = 0;
    std::vector<IndexEntry> m_partFrames;  // of the current part
    std::vector<PartIndex> m_parts;
    bool m_inFirstPart = true;
    int m_errno = 0;
};

}  // namespace capture
