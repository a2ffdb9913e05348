#include "compound_file.h"

#include <QtEndian>

#include <algorithm>

namespace measure::workbook {

namespace {

constexpr int kSector = 512;
constexpr quint32 kFree = 0xFFFFFFFF;
constexpr quint32 kEndOfChain = 0xFFFFFFFE;
constexpr quint32 kFatSector = 0xFFFFFFFD;
constexpr int kHeaderFatSlots = 109;  // FAT sectors the header lists itself

void put16(QByteArray& b, int at, quint16 v)
{
    qToLittleEndian(v, b.data() + at);
}

void put32(QByteArray& b, int at, quint32 v)
{
    qToLittleEndian(v, b.data() + at);
}

// A 128-byte directory entry.
QByteArray directoryEntry(const QString& name, quint8 type, quint32 child, quint32 start, quint32 size)
{
    QByteArray e(128, '\0');
    const QString n = name.left(31);
    for (int i = 0; i < n.size(); ++i)
        put16(e, i * 2, n.at(i).unicode());
    put16(e, 64, quint16((n.size() + 1) * 2));
    e[66] = char(type);
    e[67] = 1;            // black
    put32(e, 68, kFree);  // left sibling
    put32(e, 72, kFree);  // right sibling
    put32(e, 76, child);
    put32(e, 116, start);
    put32(e, 120, size);
    return e;
}

}  // namespace

QByteArray compoundFileWithStream(const QString& streamName, const QByteArray& stream)
{
    QByteArray data = stream;
    if (data.size() < 4096)
        data.append(QByteArray(4096 - data.size(), '\0'));
    const quint32 streamSectors = quint32((data.size() + kSector - 1) / kSector);
    data.append(QByteArray(int(streamSectors) * kSector - data.size(), '\0'));

    // Sectors: the stream, one directory sector, then the FAT itself.
    const quint32 dirSector = streamSectors;
    quint32 fatSectors = 1;
    while ((streamSectors + 1 + fatSectors) > fatSectors * (kSector / 4))
        ++fatSectors;
    if (fatSectors > kHeaderFatSlots)
        return {};  // over 6.8 MB: more than a workbook of measurements needs

    QByteArray fat(int(fatSectors) * kSector, '\xFF');
    for (quint32 i = 0; i < streamSectors; ++i)
        put32(fat, int(i * 4), i + 1 == streamSectors ? kEndOfChain : i + 1);
    put32(fat, int(dirSector * 4), kEndOfChain);
    for (quint32 i = 0; i < fatSectors; ++i)
        put32(fat, int((dirSector + 1 + i) * 4), kFatSector);

    QByteArray directory;
    directory += directoryEntry(QStringLiteral("Root Entry"), 5, 1, kEndOfChain, 0);
    directory += directoryEntry(streamName, 2, kFree, 0, quint32(stream.size() < 4096 ? 4096 : stream.size()));
    for (int i = 0; i < 2; ++i) {
        QByteArray unused(128, '\0');
        put32(unused, 68, kFree);
        put32(unused, 72, kFree);
        put32(unused, 76, kFree);
        directory += unused;
    }

    QByteArray header(kSector, '\0');
    const char signature[] = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";
    std::copy(signature, signature + 8, header.begin());
    put16(header, 24, 0x003E);  // minor version
    put16(header, 26, 0x0003);  // major version 3
    put16(header, 28, 0xFFFE);  // little-endian
    put16(header, 30, 9);       // 512-byte sectors
    put16(header, 32, 6);       // 64-byte mini sectors
    put32(header, 44, fatSectors);
    put32(header, 48, dirSector);
    put32(header, 56, 4096);         // mini stream cut-off
    put32(header, 60, kEndOfChain);  // no mini FAT
    put32(header, 68, kEndOfChain);  // no further FAT list
    for (int i = 0; i < kHeaderFatSlots; ++i)
        put32(header, 76 + i * 4, quint32(i) < fatSectors ? dirSector + 1 + quint32(i) : kFree);

    return header + data + directory + fat;
}

}  // namespace measure::workbook
