#pragma once

#include "cx_image.h"

// BMP files: every layout other programs write (core, info, V4 and V5
// headers; 1, 4, 8, 16, 24 and 32 bits; bit fields; RLE4 and RLE8; bottom-up
// and top-down), into 1, 4, 8 or 24 bits per pixel. Damaged files fail with
// an error text, before anything large is allocated.
bool decodeBmp(CxFile& file, CxImage& image);
// The header, palette and rows, with the resolution in the header.
bool encodeBmp(const CxImage& image, CxFile& file, std::string& error);
