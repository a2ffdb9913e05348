#pragma once

#include "cx_file.h"

#include <QImage>
#include <QSize>

#include <string>

// A BMP made small without decoding it whole: only the rows a picture of
// `side` pixels on its long side needs are read, found by seeking (bottom-up
// and top-down files alike); each pixel is the mean of a few taken from its
// block of the picture. Run-length files cannot be read that way.
struct SampledBmp {
    enum Result { Done, RunLength, Failed };
    Result result = Failed;
    QImage image;       // RGB32, at least `side` on its long side when the picture has it
    QSize fullSize;     // the picture's own size, once the header was read
    std::string error;  // why it failed
};

// Pictures of more than `maxPixels` are refused after the header is read.
SampledBmp sampleBmp(CxFile& file, int side, int64_t maxPixels);
