#pragma once

#include "cx_file.h"

#include <cstdint>
#include <string>
#include <vector>

enum : uint32_t { CXIMAGE_FORMAT_UNKNOWN = 0, CXIMAGE_FORMAT_BMP = 1, CXIMAGE_FORMAT_JPG = 3 };

// The largest pixel area a picture may take.
constexpr uint64_t CXIMAGE_MAX_MEMORY = 268435456;

#pragma pack(push, 1)
struct RGBQUAD {
    uint8_t rgbBlue;
    uint8_t rgbGreen;
    uint8_t rgbRed;
    uint8_t rgbReserved;
    bool operator==(const RGBQUAD&) const = default;
};

// The 40-byte header in front of the palette and the rows, as in a BMP file.
struct BITMAPINFOHEADER {
    uint32_t biSize;
    int32_t biWidth;
    int32_t biHeight;
    uint16_t biPlanes;
    uint16_t biBitCount;
    uint32_t biCompression;
    uint32_t biSizeImage;
    int32_t biXPelsPerMeter;
    int32_t biYPelsPerMeter;
    uint32_t biClrUsed;
    uint32_t biClrImportant;
};
#pragma pack(pop)
static_assert(sizeof(BITMAPINFOHEADER) == 40, "the header is written as it is");
static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "BMP and the bitmap block are little-endian");

class QPainter;
class QImage;

// A picture in memory as a device-independent bitmap: one block holding the
// 40-byte header, the palette (1, 4 and 8 bits per pixel) and the rows,
// bottom-up, each padded to a multiple of 4 bytes. Reads and writes BMP and
// JPEG. Operations answer false on failure and leave the reason in
// GetLastError().
class CxImage {
public:
    explicit CxImage(uint32_t imagetype = CXIMAGE_FORMAT_UNKNOWN);
    CxImage(const std::string& path, uint32_t imagetype);
    CxImage(const CxImage& src, bool copyPixels = true, bool copySelection = true, bool copyAlpha = true);
    CxImage& operator=(const CxImage& src);
    CxImage(CxImage&&) noexcept = default;
    CxImage& operator=(CxImage&&) noexcept = default;
    virtual ~CxImage() = default;

    // A zero-filled picture; bits per pixel 1, 4, 8 or 24 (others are
    // rounded up to the next of these). Returns the pixels, or nullptr.
    uint8_t* Create(uint32_t width, uint32_t height, uint32_t bpp, uint32_t imagetype = CXIMAGE_FORMAT_UNKNOWN);
    bool Destroy();
    void Copy(const CxImage& src, bool copyPixels = true, bool copySelection = true, bool copyAlpha = true);
    // From a Qt image (the platform bitmap): 1, 8 or 24 bits per pixel.
    bool CreateFromQImage(const QImage& image);

    // Decodes a file; when the requested type fails, tries every known one
    // and keeps the first error text.
    bool Load(const std::string& path, uint32_t imagetype = CXIMAGE_FORMAT_UNKNOWN);
    bool Save(const std::string& path, uint32_t imagetype);
    bool Decode(CxFile* file, uint32_t imagetype);
    bool Encode(CxFile* file, uint32_t imagetype);

    bool IsValid() const { return !m_dib.empty(); }
    uint32_t GetWidth() const { return IsValid() ? static_cast<uint32_t>(header().biWidth) : 0; }
    uint32_t GetHeight() const { return IsValid() ? static_cast<uint32_t>(header().biHeight) : 0; }
    uint32_t GetBpp() const { return IsValid() ? header().biBitCount : 0; }
    uint32_t GetType() const { return m_type; }
    void SetType(uint32_t type) { m_type = type; }
    // Bytes per row, padding included.
    uint32_t GetEffWidth() const { return m_effWidth; }
    // Pixels per metre as the BMP header stores a resolution.
    static int32_t PelsPerMeter(int32_t dpi) { return static_cast<int32_t>(dpi * 10000.0 / 254.0 + 0.5); }
    static uint32_t RowSize(uint32_t width, uint32_t bpp)
    {
        return static_cast<uint32_t>(((uint64_t(width) * bpp + 31) / 32) * 4);
    }
    // Row `row` counted from the bottom (the first row in memory).
    uint8_t* GetBits(uint32_t row = 0);
    const uint8_t* GetBits(uint32_t row = 0) const;
    // The whole block: header, palette and rows, as a BMP file holds them.
    const std::vector<uint8_t>& GetDIB() const { return m_dib; }
    uint32_t GetSize() const { return static_cast<uint32_t>(m_dib.size()); }

    uint32_t GetNumColors() const { return m_numColors; }
    RGBQUAD* GetPalette();
    const RGBQUAD* GetPalette() const;
    void SetPalette(const RGBQUAD* colours, uint32_t count);
    void SetGrayPalette();
    uint8_t GetNearestIndex(RGBQUAD c) const;

    // Colours as BGRA; y counts from the bottom row, as the bitmap does.
    RGBQUAD GetPixelColor(int32_t x, int32_t y) const;
    void SetPixelColor(int32_t x, int32_t y, RGBQUAD c);
    bool IsInside(int32_t x, int32_t y) const { return x >= 0 && y >= 0 && x < int32_t(GetWidth()) && y < int32_t(GetHeight()); }

    bool Flip();    // top to bottom
    bool Mirror();  // left to right

    void SetXDPI(int32_t dpi);
    void SetYDPI(int32_t dpi);
    int32_t GetXDPI() const { return m_xDpi; }
    int32_t GetYDPI() const { return m_yDpi; }
    void SetJpegQuality(uint8_t q) { m_jpegQuality = q ? q : 1; }
    uint8_t GetJpegQuality() const { return m_jpegQuality; }

    // Long operations report progress (0 to 100) and stop when asked.
    void SetProgress(uint32_t p) { m_progress = p > 100 ? 100 : p; }
    uint32_t GetProgress() const { return m_progress; }
    void SetEscape(int32_t e) { m_escape = e; }
    int32_t GetEscape() const { return m_escape; }

    const char* GetLastError() const { return m_lastError.c_str(); }
    void SetLastError(const std::string& text) { m_lastError = text; }

    int32_t GetTransIndex() const { return m_transIndex; }
    uint8_t GetAlphaMax() const { return m_alphaMax; }

    // The 24-bit pixels of the width x height block centred on picture
    // point (x, y) (y from the top, as a view counts) into `dest`, as
    // bottom-up rows padded to 4 bytes; points outside the picture are
    // black. False unless the picture has 24 bits per pixel.
    bool CopyBlock(int32_t x, int32_t y, int32_t width, int32_t height, uint8_t* dest) const;

    // Stretch-draws the picture into the rectangle.
    void Draw(QPainter& painter, int x, int y, int width, int height) const;
    // A Qt image sharing nothing with this picture, top row first.
    QImage ToQImage() const;

    // The header as stored (for the codecs).
    BITMAPINFOHEADER& header() { return *reinterpret_cast<BITMAPINFOHEADER*>(m_dib.data()); }
    const BITMAPINFOHEADER& header() const { return *reinterpret_cast<const BITMAPINFOHEADER*>(m_dib.data()); }

protected:
    uint32_t paletteBytes() const { return m_numColors * 4; }

    std::vector<uint8_t> m_dib;
    uint32_t m_type;
    uint32_t m_effWidth = 0;
    uint32_t m_numColors = 0;
    int32_t m_xDpi = 96;
    int32_t m_yDpi = 96;
    uint8_t m_jpegQuality = 90;
    uint32_t m_progress = 0;
    int32_t m_escape = 0;
    int32_t m_transIndex = -1;
    uint8_t m_alphaMax = 255;
    std::string m_lastError;
};
