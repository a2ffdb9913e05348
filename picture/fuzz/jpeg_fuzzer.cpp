// libFuzzer entry: any bytes through the JPEG decoder.
#include "picture/core/jpeg_codec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CxMemFile file(data, size);
    CxImage image;
    decodeJpeg(file, image);
    return 0;
}
