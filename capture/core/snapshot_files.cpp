#include "snapshot_files.h"

#include "picture/core/cx_image.h"
#include "picture/core/picture_writer.h"

#include <QFileInfo>

namespace capture {

namespace {

// "<folder>/<prefix><time>" with a prefix that cannot lead out of the folder.
QString timeStampedStem(const QString& folder, const QString& prefix, const QDateTime& localTime)
{
    QString safePrefix = prefix;
    safePrefix.replace(QLatin1Char('/'), QLatin1Char('_'));
    if (safePrefix == QLatin1String(".") || safePrefix == QLatin1String(".."))
        safePrefix.fill(QLatin1Char('_'));
    return folder + QLatin1Char('/') + safePrefix + localTime.toString(QStringLiteral("yyyyMMddHHmmss"));
}

}  // namespace

QString snapshotPath(const QString& folder, const QString& prefix, const QDateTime& localTime, bool bmp)
{
    return timeStampedStem(folder, prefix, localTime) + (bmp ? QLatin1String(".bmp") : QLatin1String(".jpg"));
}

QString clipPath(const QString& folder, const QString& prefix, const QDateTime& localTime)
{
    return timeStampedStem(folder, prefix, localTime) + QLatin1String(".avi");
}

bool isJpegPath(const QString& path)
{
    return path.endsWith(QLatin1String(".jpg"), Qt::CaseInsensitive)
        || path.endsWith(QLatin1String(".jpeg"), Qt::CaseInsensitive);
}

QString clipThumbnailPath(const QString& clipPath)
{
    return clipPath + QLatin1String(".bmp");
}

QString unusedPath(const QString& path, const QString& companionSuffix)
{
    const auto taken = [&companionSuffix](const QString& candidate) {
        return QFileInfo::exists(candidate) || (!companionSuffix.isEmpty() && QFileInfo::exists(candidate + companionSuffix));
    };
    for (int n = 0;; ++n) {
        const QString candidate = numberedPath(path, n);
        if (!taken(candidate))
            return candidate;
    }
}

QString numberedPath(const QString& path, int n)
{
    if (n == 0)
        return path;
    // The extension is what follows the last dot of the file name.
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    const qsizetype split = dot > slash + 1 ? dot : path.size();
    return path.left(split) + QLatin1Char('_') + QString::number(n) + path.mid(split);
}

namespace {

// The picture as the codec takes it, with its DPI and JPEG quality.
QString prepare(CxImage& image, const QImage& picture, int dpi)
{
    if (picture.isNull())
        return QStringLiteral("no picture");
    if (!image.CreateFromQImage(picture.convertToFormat(QImage::Format_RGB888)))
        return QString::fromUtf8(image.GetLastError());
    image.SetXDPI(dpi);
    image.SetYDPI(dpi);
    image.SetJpegQuality(90);
    return {};
}

}  // namespace

QString writePicture(const QImage& picture, const QString& path, bool bmp, int dpi,
                     const std::optional<picture::PictureMetadata>& metadata)
{
    CxImage image;
    if (QString failure = prepare(image, picture, dpi); !failure.isEmpty())
        return failure;
    return picture::writePictureFile(image, path, bmp ? CXIMAGE_FORMAT_BMP : CXIMAGE_FORMAT_JPG, metadata);
}

QString writeNewPicture(const QImage& picture, const QString& path, bool bmp, int dpi,
                        const std::optional<picture::PictureMetadata>& metadata, QString& saved)
{
    CxImage image;
    if (QString failure = prepare(image, picture, dpi); !failure.isEmpty())
        return failure;
    return picture::writeNewPictureFile(
        image, [&path](int n) { return numberedPath(path, n); }, bmp ? CXIMAGE_FORMAT_BMP : CXIMAGE_FORMAT_JPG, metadata, saved);
}

picture::PictureMetadata stillMetadata(const measure::MeasureState& measure, QSize frameSize, QSize pictureSize,
                                       const QDateTime& taken, int slot, const QString& camera, int dpi)
{
    picture::PictureMetadata metadata;
    if (measure.isCalibrated() && measure.scaleLength > 0 && measure.scalePixels > 0 && frameSize.isValid())
        metadata.scale = picture::PictureScale{measure.scalePixels / measure.scaleLength, measure.unit, measure.calibrationName,
                                               frameSize};
    metadata.taken = taken;
    metadata.slot = slot;
    metadata.camera = camera;
    metadata.dpi = dpi;
    return picture::scaledTo(metadata, pictureSize);
}

}  // namespace capture
