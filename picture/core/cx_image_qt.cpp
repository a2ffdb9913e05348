// The picture on Qt's drawing surfaces.
#include "cx_image.h"

#include <QImage>
#include <QPainter>

#include <cstring>

namespace {

QVector<QRgb> colourTable(const CxImage& image)
{
    QVector<QRgb> table;
    const RGBQUAD* pal = image.GetPalette();
    for (uint32_t i = 0; i < image.GetNumColors(); ++i)
        table.append(qRgb(pal[i].rgbRed, pal[i].rgbGreen, pal[i].rgbBlue));
    return table;
}

// The rows as they lie in memory (bottom row first), without copying.
QImage viewOfRows(const CxImage& image)
{
    const int w = static_cast<int>(image.GetWidth());
    const int h = static_cast<int>(image.GetHeight());
    const auto stride = static_cast<qsizetype>(image.GetEffWidth());
    switch (image.GetBpp()) {
    case 24: return QImage(image.GetBits(), w, h, stride, QImage::Format_BGR888);
    case 8: {
        QImage v(image.GetBits(), w, h, stride, QImage::Format_Indexed8);
        v.setColorTable(colourTable(image));
        return v;
    }
    case 1: {
        QImage v(image.GetBits(), w, h, stride, QImage::Format_Mono);
        v.setColorTable(colourTable(image));
        return v;
    }
    default: return {};
    }
}

}  // namespace

QImage CxImage::ToQImage() const
{
    if (!IsValid())
        return {};
    if (GetBpp() == 4) {
        QImage out(static_cast<int>(GetWidth()), static_cast<int>(GetHeight()), QImage::Format_Indexed8);
        out.setColorTable(colourTable(*this));
        for (uint32_t y = 0; y < GetHeight(); ++y) {
            const uint8_t* in = GetBits(GetHeight() - 1 - y);
            uchar* line = out.scanLine(static_cast<int>(y));
            for (uint32_t x = 0; x < GetWidth(); ++x)
                line[x] = (in[x >> 1] >> ((x & 1) ? 0 : 4)) & 0x0F;
        }
        return out;
    }
    return viewOfRows(*this).mirrored(false, true);
}

void CxImage::Draw(QPainter& painter, int x, int y, int width, int height) const
{
    if (!IsValid())
        return;
    if (GetBpp() == 4) {
        painter.drawImage(QRect(x, y, width, height), ToQImage());
        return;
    }
    // The rows are bottom-up: draw the memory as it is, upside down.
    painter.save();
    painter.translate(x, y + height);
    painter.scale(1, -1);
    painter.drawImage(QRect(0, 0, width, height), viewOfRows(*this));
    painter.restore();
}

bool CxImage::CreateFromQImage(const QImage& source)
{
    if (source.isNull()) {
        m_lastError = "null image!!!";
        return false;
    }
    const bool mono = source.format() == QImage::Format_Mono || source.format() == QImage::Format_MonoLSB;
    const bool indexed = source.format() == QImage::Format_Indexed8;
    const QImage img = mono ? source.convertToFormat(QImage::Format_Mono)
        : indexed           ? source
                            : source.convertToFormat(QImage::Format_BGR888);
    const uint32_t bpp = mono ? 1 : indexed ? 8 : 24;
    if (!Create(static_cast<uint32_t>(img.width()), static_cast<uint32_t>(img.height()), bpp, m_type))
        return false;
    if (bpp <= 8) {
        std::vector<RGBQUAD> pal;
        for (QRgb c : img.colorTable())
            pal.push_back({static_cast<uint8_t>(qBlue(c)), static_cast<uint8_t>(qGreen(c)), static_cast<uint8_t>(qRed(c)), 0});
        SetPalette(pal.data(), static_cast<uint32_t>(pal.size()));
    }
    const size_t bytes = std::min<size_t>(m_effWidth, static_cast<size_t>(img.bytesPerLine()));
    for (uint32_t y = 0; y < GetHeight(); ++y)
        std::memcpy(GetBits(GetHeight() - 1 - y), img.constScanLine(static_cast<int>(y)), bytes);
    return true;
}
