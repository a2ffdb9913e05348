#include "print_pic_data.h"

#include <QtEndian>

namespace picture {

namespace {

constexpr int kHeaderSize = 20;

void putDword(QByteArray& block, int offset, uint32_t value)
{
    qToLittleEndian(value, block.data() + offset);
}

}  // namespace

CPrintPicData::Result CPrintPicData::GetData(uint32_t format, uint32_t aspect, uint32_t medium, QByteArray& block) const
{
    if (aspect != kAspectContent)
        return WrongAspect;
    if (format != kFormatDropFiles)
        return WrongFormat;
    if (medium != kMediumGlobal)
        return WrongMedium;
    block = QByteArray(kHeaderSize + m_path.size() + 2, '\0');
    if (block.size() != kHeaderSize + m_path.size() + 2)
        return MediumFull;
    putDword(block, 0, kHeaderSize);  // where the file list starts
    putDword(block, 4, 0);            // point x
    putDword(block, 8, 0);            // point y
    putDword(block, 12, 1);           // non-client area
    putDword(block, 16, 0);           // narrow names
    std::copy(m_path.cbegin(), m_path.cend(), block.begin() + kHeaderSize);
    return Ok;
}

QByteArray CPrintPicData::pathOf(const QByteArray& block)
{
    if (block.size() < kHeaderSize + 2)
        return {};
    const uint32_t offset = qFromLittleEndian<uint32_t>(block.constData());
    const uint32_t wide = qFromLittleEndian<uint32_t>(block.constData() + 16);
    if (wide != 0 || offset < kHeaderSize || offset >= uint32_t(block.size()))
        return {};
    const qsizetype end = block.indexOf('\0', offset);
    return end < 0 ? QByteArray() : block.mid(offset, end - offset);
}

}  // namespace picture
