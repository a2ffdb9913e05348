// The bitmap in memory: its block, pixels, palette and resolution. Files by
// format are read and written in cx_image_io.cpp, which holds the codecs.
#include "cx_image.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace {

uint32_t normalisedBpp(uint32_t bpp)
{
    if (bpp <= 1)
        return 1;
    if (bpp <= 4)
        return 4;
    if (bpp <= 8)
        return 8;
    return 24;
}

}  // namespace

CxImage::CxImage(uint32_t imagetype) : m_type(imagetype) {}

CxImage::CxImage(const CxImage& src, bool copyPixels, bool copySelection, bool copyAlpha) : m_type(src.m_type)
{
    Copy(src, copyPixels, copySelection, copyAlpha);
}

CxImage& CxImage::operator=(const CxImage& src)
{
    if (this != &src)
        Copy(src);
    return *this;
}

void CxImage::Copy(const CxImage& src, bool copyPixels, bool, bool)
{
    m_type = src.m_type;
    m_effWidth = src.m_effWidth;
    m_numColors = src.m_numColors;
    m_xDpi = src.m_xDpi;
    m_yDpi = src.m_yDpi;
    m_jpegQuality = src.m_jpegQuality;
    m_transIndex = src.m_transIndex;
    m_alphaMax = src.m_alphaMax;
    m_lastError = src.m_lastError;
    if (copyPixels) {
        m_dib = src.m_dib;
    } else if (src.IsValid()) {
        m_dib.assign(src.m_dib.size(), 0);
        std::memcpy(m_dib.data(), src.m_dib.data(), sizeof(BITMAPINFOHEADER) + src.paletteBytes());
    } else {
        m_dib.clear();
    }
}

uint8_t* CxImage::Create(uint32_t width, uint32_t height, uint32_t bpp, uint32_t imagetype)
{
    Destroy();
    if (width == 0 || height == 0) {
        m_lastError = "CxImage::Create : width and height must be greater than zero";
        return nullptr;
    }
    bpp = normalisedBpp(bpp);
    // Checked before anything is allocated; also keeps the sizes in range of
    // the header's signed fields.
    if (uint64_t(width) * height * bpp / 8 > CXIMAGE_MAX_MEMORY || width > 0x7FFFFFFF || height > 0x7FFFFFFF) {
        m_lastError = "CXIMAGE_MAX_MEMORY exceeded";
        return nullptr;
    }
    const uint32_t effWidth = RowSize(width, bpp);
    const uint32_t numColors = bpp <= 8 ? (1u << bpp) : 0;
    const uint64_t total = sizeof(BITMAPINFOHEADER) + uint64_t(numColors) * 4 + uint64_t(effWidth) * height;
    try {
        m_dib.assign(static_cast<size_t>(total), 0);
    } catch (const std::bad_alloc&) {
        m_dib.clear();
        m_lastError = "CxImage::Create can't allocate memory";
        return nullptr;
    }
    m_type = imagetype;
    m_effWidth = effWidth;
    m_numColors = numColors;
    BITMAPINFOHEADER& h = header();
    h.biSize = sizeof(BITMAPINFOHEADER);
    h.biWidth = static_cast<int32_t>(width);
    h.biHeight = static_cast<int32_t>(height);
    h.biPlanes = 1;
    h.biBitCount = static_cast<uint16_t>(bpp);
    h.biCompression = 0;
    h.biSizeImage = effWidth * height;
    h.biXPelsPerMeter = CxImage::PelsPerMeter(m_xDpi);
    h.biYPelsPerMeter = CxImage::PelsPerMeter(m_yDpi);
    h.biClrUsed = 0;
    h.biClrImportant = 0;
    if (numColors)
        SetGrayPalette();
    return GetBits();
}

bool CxImage::Destroy()
{
    m_dib.clear();
    m_dib.shrink_to_fit();
    m_effWidth = 0;
    m_numColors = 0;
    return true;
}

uint8_t* CxImage::GetBits(uint32_t row)
{
    if (!IsValid())
        return nullptr;
    return m_dib.data() + sizeof(BITMAPINFOHEADER) + paletteBytes() + size_t(row) * m_effWidth;
}

const uint8_t* CxImage::GetBits(uint32_t row) const
{
    return const_cast<CxImage*>(this)->GetBits(row);
}

RGBQUAD* CxImage::GetPalette()
{
    return IsValid() && m_numColors ? reinterpret_cast<RGBQUAD*>(m_dib.data() + sizeof(BITMAPINFOHEADER)) : nullptr;
}

const RGBQUAD* CxImage::GetPalette() const
{
    return const_cast<CxImage*>(this)->GetPalette();
}

void CxImage::SetPalette(const RGBQUAD* colours, uint32_t count)
{
    RGBQUAD* pal = GetPalette();
    if (!pal || !colours)
        return;
    const uint32_t n = std::min(count, m_numColors);
    std::memcpy(pal, colours, n * sizeof(RGBQUAD));
    if (n < m_numColors)
        std::memset(pal + n, 0, (m_numColors - n) * sizeof(RGBQUAD));
}

void CxImage::SetGrayPalette()
{
    RGBQUAD* pal = GetPalette();
    if (!pal)
        return;
    for (uint32_t i = 0; i < m_numColors; ++i) {
        const auto v = static_cast<uint8_t>(i * 255 / (m_numColors - 1));
        pal[i] = {v, v, v, 0};
    }
}

uint8_t CxImage::GetNearestIndex(RGBQUAD c) const
{
    const RGBQUAD* pal = GetPalette();
    if (!pal)
        return 0;
    uint32_t best = 0;
    long bestDistance = 0x7FFFFFFF;
    for (uint32_t i = 0; i < m_numColors; ++i) {
        const long db = long(pal[i].rgbBlue) - c.rgbBlue;
        const long dg = long(pal[i].rgbGreen) - c.rgbGreen;
        const long dr = long(pal[i].rgbRed) - c.rgbRed;
        const long d = db * db + dg * dg + dr * dr;
        if (d < bestDistance) {
            bestDistance = d;
            best = i;
        }
    }
    return static_cast<uint8_t>(best);
}

RGBQUAD CxImage::GetPixelColor(int32_t x, int32_t y) const
{
    if (!IsInside(x, y))
        return {0, 0, 0, 0};
    const uint8_t* row = GetBits(static_cast<uint32_t>(y));
    switch (GetBpp()) {
    case 24: return {row[x * 3], row[x * 3 + 1], row[x * 3 + 2], 0};
    case 8: return GetPalette()[row[x]];
    case 4: return GetPalette()[(row[x >> 1] >> ((x & 1) ? 0 : 4)) & 0x0F];
    case 1: return GetPalette()[(row[x >> 3] >> (7 - (x & 7))) & 1];
    default: return {0, 0, 0, 0};
    }
}

void CxImage::SetPixelColor(int32_t x, int32_t y, RGBQUAD c)
{
    if (!IsInside(x, y))
        return;
    uint8_t* row = GetBits(static_cast<uint32_t>(y));
    switch (GetBpp()) {
    case 24:
        row[x * 3] = c.rgbBlue;
        row[x * 3 + 1] = c.rgbGreen;
        row[x * 3 + 2] = c.rgbRed;
        break;
    case 8: row[x] = GetNearestIndex(c); break;
    case 4: {
        const int shift = (x & 1) ? 0 : 4;
        row[x >> 1] = static_cast<uint8_t>((row[x >> 1] & ~(0x0F << shift)) | (GetNearestIndex(c) << shift));
        break;
    }
    case 1: {
        const int shift = 7 - (x & 7);
        row[x >> 3] = static_cast<uint8_t>((row[x >> 3] & ~(1 << shift)) | ((GetNearestIndex(c) & 1) << shift));
        break;
    }
    default: break;
    }
}

bool CxImage::Flip()
{
    if (!IsValid())
        return false;
    std::vector<uint8_t> tmp(m_effWidth);
    const uint32_t h = GetHeight();
    for (uint32_t top = 0, bottom = h - 1; top < bottom; ++top, --bottom) {
        std::memcpy(tmp.data(), GetBits(top), m_effWidth);
        std::memcpy(GetBits(top), GetBits(bottom), m_effWidth);
        std::memcpy(GetBits(bottom), tmp.data(), m_effWidth);
    }
    return true;
}

bool CxImage::Mirror()
{
    if (!IsValid())
        return false;
    const int32_t w = static_cast<int32_t>(GetWidth());
    const uint32_t bpp = GetBpp();
    for (uint32_t y = 0; y < GetHeight(); ++y) {
        uint8_t* row = GetBits(y);
        if (bpp == 24) {
            for (int32_t l = 0, r = w - 1; l < r; ++l, --r) {
                std::swap(row[l * 3], row[r * 3]);
                std::swap(row[l * 3 + 1], row[r * 3 + 1]);
                std::swap(row[l * 3 + 2], row[r * 3 + 2]);
            }
        } else if (bpp == 8) {
            std::reverse(row, row + w);
        } else {
            // Packed pixels: swap the indices one by one through the palette
            // positions, which keeps them exact.
            for (int32_t l = 0, r = w - 1; l < r; ++l, --r) {
                const auto get = [&](int32_t x) {
                    return bpp == 4 ? (row[x >> 1] >> ((x & 1) ? 0 : 4)) & 0x0F : (row[x >> 3] >> (7 - (x & 7))) & 1;
                };
                const auto set = [&](int32_t x, int v) {
                    if (bpp == 4) {
                        const int shift = (x & 1) ? 0 : 4;
                        row[x >> 1] = static_cast<uint8_t>((row[x >> 1] & ~(0x0F << shift)) | (v << shift));
                    } else {
                        const int shift = 7 - (x & 7);
                        row[x >> 3] = static_cast<uint8_t>((row[x >> 3] & ~(1 << shift)) | (v << shift));
                    }
                };
                const int a = get(l);
                set(l, get(r));
                set(r, a);
            }
        }
    }
    return true;
}

void CxImage::SetXDPI(int32_t dpi)
{
    m_xDpi = dpi > 0 ? dpi : 96;
    if (IsValid())
        header().biXPelsPerMeter = CxImage::PelsPerMeter(m_xDpi);
}

void CxImage::SetYDPI(int32_t dpi)
{
    m_yDpi = dpi > 0 ? dpi : 96;
    if (IsValid())
        header().biYPelsPerMeter = CxImage::PelsPerMeter(m_yDpi);
}

bool CxImage::CopyBlock(int32_t x, int32_t y, int32_t width, int32_t height, uint8_t* dest) const
{
    if (!IsValid() || GetBpp() != 24 || !dest || width <= 0 || height <= 0)
        return false;
    const uint32_t destRow = RowSize(static_cast<uint32_t>(width), 24);
    const int32_t left = x - width / 2;
    const int32_t top = y - height / 2;
    const int32_t w = static_cast<int32_t>(GetWidth());
    const int32_t h = static_cast<int32_t>(GetHeight());
    for (int32_t r = 0; r < height; ++r) {
        // Destination rows are bottom-up: its last row is the block's top.
        uint8_t* out = dest + size_t(height - 1 - r) * destRow;
        std::memset(out, 0, destRow);
        const int32_t py = top + r;
        if (py < 0 || py >= h)
            continue;
        const uint8_t* src = GetBits(static_cast<uint32_t>(h - 1 - py));
        const int32_t from = std::max(left, 0);
        const int32_t to = std::min(left + width, w);
        if (from < to)
            std::memcpy(out + (from - left) * 3, src + from * 3, size_t(to - from) * 3);
    }
    return true;
}
