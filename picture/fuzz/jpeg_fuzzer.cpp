// libFuzzer entry: any bytes through the JPEG decoder and the reader of the
// metadata segments before its scan.
#include "picture/core/jpeg_codec.h"
#include "picture/core/picture_metadata.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CxMemFile file(data, size);
    CxImage image;
    decodeJpeg(file, image);
    (void)picture::readJpegMetadata(data, size);
    return 0;
}
