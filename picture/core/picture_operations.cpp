#include "picture_operations.h"

#include <QFileInfo>

#include <array>

namespace picture {

namespace {

// One colour as the operation turns it (red, green, blue in RGBQUAD order).
void turn(uint8_t& blue, uint8_t& green, uint8_t& red, int operation)
{
    switch (operation) {
    case OpRedChannel: green = blue = red; break;
    case OpGreenChannel: red = blue = green; break;
    case OpBlueChannel: red = green = blue; break;
    case OpNegative:
        red = static_cast<uint8_t>(255 - red);
        green = static_cast<uint8_t>(255 - green);
        blue = static_cast<uint8_t>(255 - blue);
        break;
    default: break;
    }
}

bool isColourOperation(int operation)
{
    return operation == OpRedChannel || operation == OpGreenChannel || operation == OpBlueChannel || operation == OpNegative;
}

}  // namespace

bool applyPictureOperation(CxImage& image, int operation, std::atomic<int>* progress, const std::atomic<bool>* stop)
{
    if (!image.IsValid())
        return false;
    const auto report = [&](uint32_t percent) {
        image.SetProgress(percent);
        if (progress)
            progress->store(static_cast<int>(percent));
    };
    report(0);
    if (operation == OpFlipVertical || operation == OpMirror) {
        const bool done = operation == OpFlipVertical ? image.Flip() : image.Mirror();
        report(100);
        return done;
    }
    if (!isColourOperation(operation))
        return false;
    if (image.GetBpp() <= 8) {
        // The palette holds every colour the picture has; the alpha byte stays.
        RGBQUAD* palette = image.GetPalette();
        for (uint32_t i = 0; palette && i < image.GetNumColors(); ++i)
            turn(palette[i].rgbBlue, palette[i].rgbGreen, palette[i].rgbRed, operation);
        report(100);
        return true;
    }
    const uint32_t height = image.GetHeight();
    const uint32_t width = image.GetWidth();
    for (uint32_t y = 0; y < height; ++y) {
        if (image.GetEscape() || (stop && stop->load()))
            return false;
        uint8_t* row = image.GetBits(y);
        for (uint32_t x = 0; x < width; ++x, row += 3)
            turn(row[0], row[1], row[2], operation);
        report(y * 100 / height);
    }
    report(100);
    return true;
}

uint32_t formatOfPath(const QString& path)
{
    const QString extension = QFileInfo(path).suffix().toLower();
    if (extension == QLatin1String("bmp"))
        return CXIMAGE_FORMAT_BMP;
    if (extension == QLatin1String("jpg") || extension == QLatin1String("jpeg"))
        return CXIMAGE_FORMAT_JPG;
    return CXIMAGE_FORMAT_UNKNOWN;
}

QString saveAsName(const QString& title)
{
    for (const QChar c : QStringLiteral("#%;/\\")) {
        if (title.contains(c))
            return QStringLiteral("UntitledImage");
    }
    return title;
}

}  // namespace picture
