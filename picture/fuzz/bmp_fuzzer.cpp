// libFuzzer entry: any bytes through the BMP decoder, which must answer
// true or false and nothing else.
#include "picture/core/bmp_codec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CxMemFile file(data, size);
    CxImage image;
    if (decodeBmp(file, image)) {
        // A decoded picture must hold together: read every pixel once.
        volatile uint32_t sum = 0;
        for (uint32_t y = 0; y < image.GetHeight(); y += 7)
            for (uint32_t x = 0; x < image.GetWidth(); x += 7)
                sum += image.GetPixelColor(static_cast<int32_t>(x), static_cast<int32_t>(y)).rgbRed;
    }
    return 0;
}
