#include "cap_config.h"

#include "platform/atomic_file.h"

#include <QByteArray>

#include <cmath>
#include <cstring>

namespace capture {

std::optional<VideoInfoHeader> readCapConfig(const QString& path)
{
    QByteArray bytes;
    if (!platform::readWholeFile(path, bytes) || bytes.size() < qsizetype(sizeof(VideoInfoHeader)))
        return std::nullopt;
    VideoInfoHeader v;
    std::memcpy(&v, bytes.constData(), sizeof v);
    return v;
}

bool writeCapConfig(const QString& path, const VideoInfoHeader& format)
{
    return platform::writeFileAtomically(path, QByteArray(reinterpret_cast<const char*>(&format), sizeof format));
}

void resizeFormat(VideoInfoHeader& format, int32_t width, int32_t height)
{
    format.bmiHeader.biWidth = width;
    format.bmiHeader.biHeight = height;
    uint32_t size = static_cast<uint32_t>(width) * static_cast<uint32_t>(height);
    if (format.bmiHeader.biBitCount == 16)
        size *= 2;
    else if (format.bmiHeader.biBitCount == 24)
        size *= 3;
    format.bmiHeader.biSizeImage = size;
    const uint32_t fps = format.AvgTimePerFrame > 0
        ? static_cast<uint32_t>(std::lround(10000000.0 / double(format.AvgTimePerFrame)))
        : 0;
    // Only the low 29 bits of frames x size take part before the bytes become bits.
    format.dwBitRate = ((fps * size) & 0x1FFFFFFFu) * 8u;
}

}  // namespace capture
