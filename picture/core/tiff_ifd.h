#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

namespace picture {

// Reading the TIFF structure inside an Exif block. Such blocks come from
// every kind of camera and editor, and from anyone who wants to hurt the
// reader: every offset and count is checked against the block, in 64-bit
// arithmetic, before it is used.

enum : uint16_t { kTiffByte = 1, kTiffAscii = 2, kTiffShort = 3, kTiffLong = 4, kTiffRational = 5, kTiffUndefined = 7 };

class Tiff {
public:
    Tiff(const uint8_t* data, size_t size, bool little) : m_data(data), m_size(size), m_little(little) {}

    bool has(uint64_t offset, uint64_t length) const { return offset <= m_size && length <= m_size - offset; }
    uint16_t u16(size_t at) const
    {
        return m_little ? uint16_t(m_data[at] | m_data[at + 1] << 8) : uint16_t(m_data[at] << 8 | m_data[at + 1]);
    }
    uint32_t u32(size_t at) const
    {
        return m_little ? uint32_t(u16(at)) | uint32_t(u16(at + 2)) << 16 : uint32_t(u16(at)) << 16 | uint32_t(u16(at + 2));
    }
    const uint8_t* at(size_t offset) const { return m_data + offset; }

private:
    const uint8_t* m_data;
    size_t m_size;
    bool m_little;
};

// The block's bytes from its TIFF header on ("II" or "MM", then 42), either
// byte order; nothing when the header is not sound.
std::optional<Tiff> openTiff(const uint8_t* data, size_t size);

// One IFD entry whose value lies wholly inside the block.
struct Field {
    uint16_t type = 0;
    uint32_t count = 0;
    size_t value = 0;  // where the value's bytes start
};
using IfdFields = std::vector<std::pair<uint16_t, Field>>;

// The entries of the IFD at `offset` whose values lie inside the block, and
// the next IFD's offset (0 when the IFD does not fit). No link is followed.
IfdFields readIfd(const Tiff& tiff, uint32_t offset, uint32_t& next);
const Field* findField(const IfdFields& fields, uint16_t tag);
// The first value of a SHORT or LONG entry.
std::optional<uint32_t> numberOf(const Tiff& tiff, const Field* f);

}  // namespace picture
