#pragma once

#include "picture/core/cx_image.h"

#include <QByteArray>
#include <QString>

#include <vector>

// Helpers for the codec tests.
namespace picture_testing {

// A picture whose pixels all differ, at any depth (palette: a ramp).
CxImage patterned(uint32_t width, uint32_t height, uint32_t bpp);

QByteArray encode(const CxImage& image, uint32_t type);
// Decodes bytes; on failure `error` holds the reason.
bool decode(const QByteArray& bytes, uint32_t type, CxImage& out, std::string* error = nullptr);

// Top row first, 3 bytes a pixel, R G B.
std::vector<uint8_t> rgbRows(const CxImage& image);

// The largest difference of any channel.
int maxDifference(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b);

// Writes the bytes as a seed for the decoder fuzzers.
void addFuzzSeed(const char* decoder, const QString& name, const QByteArray& bytes);

}  // namespace picture_testing
