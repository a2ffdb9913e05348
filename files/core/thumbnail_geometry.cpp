#include "thumbnail_geometry.h"

#include <QPainter>

namespace files {

QRect thumbnailPlacement(QSize source)
{
    if (source.isEmpty())
        return {};
    const double aspect = double(source.width()) / source.height();
    if (aspect > 1) {
        const int h = std::max(1, int(kThumbnailSide / aspect + 0.5));
        return QRect(0, (kThumbnailSide - h) / 2, kThumbnailSide, h);
    }
    const int w = std::max(1, int(kThumbnailSide * aspect + 0.5));
    return QRect((kThumbnailSide - w) / 2, 0, w, kThumbnailSide);
}

QImage fitThumbnail(const QImage& picture, QSize fullSize)
{
    const QRect place = thumbnailPlacement(fullSize.isEmpty() ? picture.size() : fullSize);
    if (picture.isNull() || place.isEmpty())
        return {};
    QImage fitted = picture.scaled(place.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    if (fitted.format() != QImage::Format_RGB32 && !fitted.hasAlphaChannel())
        fitted = fitted.convertToFormat(QImage::Format_RGB32);
    return fitted;
}

void paintThumbnailTile(QPainter& painter, QPoint at, const QImage& fitted, bool chosen)
{
    const QRect tile(at, QSize(kThumbnailSide, kThumbnailSide));
    painter.fillRect(tile, kThumbnailGround);
    if (!fitted.isNull()) {
        const QRect place = thumbnailPlacement(fitted.size());
        painter.drawImage(place.translated(at), fitted);
    }
    painter.setPen(chosen ? kChosenFrame : kThumbnailFrame);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(tile.adjusted(0, 0, -1, -1));
}

}  // namespace files
