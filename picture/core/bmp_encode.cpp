#include "bmp_codec.h"

#include <cstring>

bool encodeBmp(const CxImage& image, CxFile& file, std::string& error)
{
    if (!image.IsValid()) {
        error = "null image!!!";
        return false;
    }
    const std::vector<uint8_t>& dib = image.GetDIB();
    const uint32_t offBits = 14 + 40 + image.GetNumColors() * 4;
    uint8_t head[14 + 40];
    head[0] = 'B';
    head[1] = 'M';
    const uint32_t fileSize = 14 + static_cast<uint32_t>(dib.size());
    const uint32_t reserved = 0;
    std::memcpy(head + 2, &fileSize, 4);
    std::memcpy(head + 6, &reserved, 4);
    std::memcpy(head + 10, &offBits, 4);
    BITMAPINFOHEADER h = image.header();
    h.biSizeImage = image.GetEffWidth() * image.GetHeight();
    h.biXPelsPerMeter = CxImage::PelsPerMeter(image.GetXDPI());
    h.biYPelsPerMeter = CxImage::PelsPerMeter(image.GetYDPI());
    h.biClrUsed = image.GetNumColors();
    std::memcpy(head + 14, &h, 40);
    // The palette and rows follow the header in memory as in the file: one write.
    const size_t rest = dib.size() - 40;
    if (file.Write(head, sizeof head) != sizeof head || file.Write(dib.data() + 40, rest) != rest) {
        error = "BMP write error";
        return false;
    }
    return true;
}
