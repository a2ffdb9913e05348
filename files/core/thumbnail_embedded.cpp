#include "thumbnail_embedded.h"

#include "thumbnail_decode.h"
#include "thumbnail_geometry.h"

#include <algorithm>
#include <limits>

namespace files {

namespace {

// The rows or columns of a bar next to the picture that compression smears
// with the picture's brightness (a block of the JPEG); they are not looked at.
// Colour is smeared further (by its coarser blocks), so only brightness
// is compared.
constexpr int kSmearedEdge = 8;
// How far apart the brightness in a bar may be and it still be one colour
// (compression noise included).
constexpr int kBarSpread = 40;

// The bars around `picture` within `image` are each of a single colour.
bool barsAreEven(const QImage& image, const QRect& picture)
{
    QRect bars[2];
    if (picture.height() < image.height()) {
        bars[0] = QRect(0, 0, image.width(), picture.top() - kSmearedEdge);
        bars[1] = QRect(0, picture.bottom() + 1 + kSmearedEdge, image.width(),
                        image.height() - picture.bottom() - 1 - kSmearedEdge);
    } else {
        bars[0] = QRect(0, 0, picture.left() - kSmearedEdge, image.height());
        bars[1] = QRect(picture.right() + 1 + kSmearedEdge, 0, image.width() - picture.right() - 1 - kSmearedEdge,
                        image.height());
    }
    for (const QRect& bar : bars) {
        if (bar.isEmpty())
            continue;  // too thin to tell; the picture's shape hardly differs
        int low = 255, high = 0;
        for (int y = bar.top(); y <= bar.bottom(); ++y) {
            const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
            for (int x = bar.left(); x <= bar.right(); ++x) {
                const int brightness = qGray(line[x]);
                low = std::min(low, brightness);
                high = std::max(high, brightness);
            }
        }
        if (high - low > kBarSpread)
            return false;
    }
    return true;
}

}  // namespace

QRect pictureWithinThumbnail(QSize thumbnailSize, QSize fullSize)
{
    if (thumbnailSize.isEmpty() || fullSize.isEmpty())
        return {};
    const QSize fitted = fullSize.scaled(thumbnailSize, Qt::KeepAspectRatio);
    if (std::abs(fitted.width() - thumbnailSize.width()) <= 1 && std::abs(fitted.height() - thumbnailSize.height()) <= 1)
        return QRect(QPoint(0, 0), thumbnailSize);
    return QRect(QPoint((thumbnailSize.width() - fitted.width()) / 2, (thumbnailSize.height() - fitted.height()) / 2), fitted);
}

QImage embeddedThumbnail(const QByteArray& thumbnailJpeg, QSize fullSize)
{
    const QRect needed = thumbnailPlacement(fullSize);
    if (needed.isEmpty())
        return {};
    const DecodedPicture decoded = decodeForThumbnail(thumbnailJpeg, PictureKind::Jpeg,
                                                      std::numeric_limits<int>::max());  // at its own size
    if (decoded.image.isNull() || decoded.flawed)
        return {};
    const QRect picture = pictureWithinThumbnail(decoded.image.size(), fullSize);
    if (picture.width() < needed.width() || picture.height() < needed.height())
        return {};
    if (picture.size() == decoded.image.size())
        return decoded.image;
    if (!barsAreEven(decoded.image, picture))
        return {};
    return decoded.image.copy(picture);
}

}  // namespace files
