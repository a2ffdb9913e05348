#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

// The little-endian pieces of a RIFF file, shared by the clip writer and the
// clip repairer.
namespace capture::riff {

constexpr uint32_t fourcc(const char (&s)[5])
{
    return uint32_t(uint8_t(s[0])) | uint32_t(uint8_t(s[1])) << 8 | uint32_t(uint8_t(s[2])) << 16 | uint32_t(uint8_t(s[3])) << 24;
}

inline uint32_t le32(const uint8_t* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

inline uint16_t le16(const uint8_t* p)
{
    return uint16_t(p[0] | p[1] << 8);
}

// Appends little-endian values to a byte buffer.
class Bytes {
public:
    std::vector<uint8_t> data;

    void u8(uint8_t v) { data.push_back(v); }
    void u16(uint16_t v)
    {
        u8(uint8_t(v));
        u8(uint8_t(v >> 8));
    }
    void u32(uint32_t v)
    {
        u16(uint16_t(v));
        u16(uint16_t(v >> 16));
    }
    void u64(uint64_t v)
    {
        u32(uint32_t(v));
        u32(uint32_t(v >> 32));
    }
    void zeros(size_t n) { data.insert(data.end(), n, 0); }
    size_t size() const { return data.size(); }
    // Writes `v` over the four bytes at `at`.
    void put32(size_t at, uint32_t v)
    {
        for (int i = 0; i < 4; ++i)
            data[at + size_t(i)] = uint8_t(v >> (8 * i));
    }
};

// Chunk data is padded to an even length.
inline uint64_t padded(uint64_t size)
{
    return size + (size & 1);
}

}  // namespace capture::riff
