#include "picture_testing.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <cstdlib>

namespace picture_testing {

CxImage patterned(uint32_t width, uint32_t height, uint32_t bpp)
{
    CxImage img;
    img.Create(width, height, bpp, CXIMAGE_FORMAT_BMP);
    if (bpp <= 8) {
        std::vector<RGBQUAD> pal(img.GetNumColors());
        for (uint32_t i = 0; i < pal.size(); ++i)
            pal[i] = {static_cast<uint8_t>(i * 7), static_cast<uint8_t>(255 - i), static_cast<uint8_t>(i * 13), 0};
        img.SetPalette(pal.data(), static_cast<uint32_t>(pal.size()));
    }
    for (uint32_t y = 0; y < height; ++y) {
        for (uint32_t x = 0; x < width; ++x) {
            if (bpp == 24) {
                uint8_t* p = img.GetBits(y) + x * 3;
                p[0] = static_cast<uint8_t>(x * 31 + y);
                p[1] = static_cast<uint8_t>(y * 17 + x * 3);
                p[2] = static_cast<uint8_t>((x ^ y) * 11);
            } else {
                const RGBQUAD c = img.GetPalette()[(x * 3 + y * 5) % img.GetNumColors()];
                img.SetPixelColor(static_cast<int32_t>(x), static_cast<int32_t>(y), c);
            }
        }
    }
    return img;
}

QByteArray encode(const CxImage& image, uint32_t type)
{
    CxMemFile mem;
    CxImage copy(image);
    if (!copy.Encode(&mem, type))
        return {};
    return QByteArray(reinterpret_cast<const char*>(mem.Data().data()), static_cast<qsizetype>(mem.Data().size()));
}

bool decode(const QByteArray& bytes, uint32_t type, CxImage& out, std::string* error)
{
    CxMemFile mem(bytes.constData(), static_cast<size_t>(bytes.size()));
    const bool ok = out.Decode(&mem, type);
    if (error)
        *error = out.GetLastError();
    return ok;
}

std::vector<uint8_t> rgbRows(const CxImage& image)
{
    std::vector<uint8_t> out;
    out.reserve(size_t(image.GetWidth()) * image.GetHeight() * 3);
    for (uint32_t y = 0; y < image.GetHeight(); ++y) {
        for (uint32_t x = 0; x < image.GetWidth(); ++x) {
            const RGBQUAD c = image.GetPixelColor(static_cast<int32_t>(x), static_cast<int32_t>(image.GetHeight() - 1 - y));
            out.push_back(c.rgbRed);
            out.push_back(c.rgbGreen);
            out.push_back(c.rgbBlue);
        }
    }
    return out;
}

int maxDifference(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b)
{
    if (a.size() != b.size())
        return 256;
    int worst = 0;
    for (size_t i = 0; i < a.size(); ++i)
        worst = std::max(worst, std::abs(int(a[i]) - int(b[i])));
    return worst;
}

void addFuzzSeed(const char* decoder, const QString& name, const QByteArray& bytes)
{
    const QString folder = QStringLiteral(VELLUMET_FUZZ_CORPUS "/") + QLatin1String(decoder);
    QDir().mkpath(folder);
    QFile f(folder + QLatin1Char('/') + name);
    if (f.open(QIODevice::WriteOnly))
        f.write(bytes);
}

}  // namespace picture_testing
