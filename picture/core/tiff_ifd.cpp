#include "tiff_ifd.h"

namespace picture {

namespace {

uint64_t typeSize(uint16_t type)
{
    switch (type) {
    case kTiffByte:
    case kTiffAscii:
    case kTiffUndefined: return 1;
    case kTiffShort: return 2;
    case kTiffLong: return 4;
    case kTiffRational: return 8;
    default: return 0;
    }
}

}  // namespace

std::optional<Tiff> openTiff(const uint8_t* data, size_t size)
{
    if (!data || size < 8)
        return std::nullopt;
    const bool little = data[0] == 'I' && data[1] == 'I';
    if (!little && !(data[0] == 'M' && data[1] == 'M'))
        return std::nullopt;
    const Tiff tiff(data, size, little);
    if (tiff.u16(2) != 42)
        return std::nullopt;
    return tiff;
}

IfdFields readIfd(const Tiff& tiff, uint32_t offset, uint32_t& next)
{
    IfdFields fields;
    next = 0;
    if (!tiff.has(offset, 2))
        return fields;
    const uint16_t count = tiff.u16(offset);
    if (!tiff.has(offset + 2, uint64_t(count) * 12 + 4))
        return fields;
    for (uint32_t i = 0; i < count; ++i) {
        const size_t entry = offset + 2 + size_t(i) * 12;
        Field f{tiff.u16(entry + 2), tiff.u32(entry + 4), entry + 8};
        const uint64_t bytes = typeSize(f.type) * f.count;
        if (bytes == 0)
            continue;
        if (bytes > 4) {
            const uint32_t valueOffset = tiff.u32(entry + 8);
            if (!tiff.has(valueOffset, bytes))
                continue;
            f.value = valueOffset;
        }
        fields.emplace_back(tiff.u16(entry), f);
    }
    next = tiff.u32(offset + 2 + size_t(count) * 12);
    return fields;
}

const Field* findField(const IfdFields& fields, uint16_t tag)
{
    for (const auto& [t, f] : fields) {
        if (t == tag)
            return &f;
    }
    return nullptr;
}

std::optional<uint32_t> numberOf(const Tiff& tiff, const Field* f)
{
    if (!f || f->count < 1)
        return std::nullopt;
    if (f->type == kTiffShort)
        return tiff.u16(f->value);
    if (f->type == kTiffLong)
        return tiff.u32(f->value);
    return std::nullopt;
}

}  // namespace picture
