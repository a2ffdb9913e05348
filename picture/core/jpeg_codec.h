#pragma once

#include "cx_image.h"

#include <cstddef>
#include <string>
#include <vector>

// JPEG through libjpeg(-turbo): written from the bottom-up BGR rows at the
// picture's quality with its resolution as JFIF density; read straight into
// those rows from grey, YCbCr, RGB and CMYK files. Damaged or hostile
// files fail with an error text; progressive files may have at most
// kMaxJpegScans scans.
constexpr int kMaxJpegScans = 500;

bool decodeJpeg(CxFile& file, CxImage& image);
bool encodeJpeg(const CxImage& image, CxFile& file, std::string& error);

// 24-bit BGR rows, bottom-up, `stride` bytes apart, as one JPEG into `out`
// (whose capacity is reused from call to call).
bool encodeJpegRows(const unsigned char* bottomUpRows, unsigned width, unsigned height, size_t stride, int quality,
                    std::vector<unsigned char>& out, std::string& error);
