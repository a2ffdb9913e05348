#include "thumbnail_save.h"

#include "measure/core/picture_options.h"
#include "picture/core/cx_image.h"
#include "picture/core/picture_metadata.h"
#include "picture/core/picture_writer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QSaveFile>

#include <cstdio>

namespace files {

namespace {

uint32_t formatOfName(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("bmp"))
        return CXIMAGE_FORMAT_BMP;
    if (suffix == QLatin1String("jpg") || suffix == QLatin1String("jpeg"))
        return CXIMAGE_FORMAT_JPG;
    return CXIMAGE_FORMAT_UNKNOWN;
}

bool sameFile(const QString& a, const QString& b)
{
    const QFileInfo ia(a), ib(b);
    return ib.exists() && ia.canonicalFilePath() == ib.canonicalFilePath();
}

}  // namespace

bool copyFileReplacing(const QString& source, const QString& target)
{
    if (sameFile(source, target))
        return false;
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return false;
    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    char buffer[1 << 16];
    for (;;) {
        const qint64 n = in.read(buffer, sizeof buffer);
        if (n < 0) {
            out.cancelWriting();
            return false;
        }
        if (n == 0)
            break;
        if (out.write(buffer, n) != n) {
            out.cancelWriting();
            return false;
        }
    }
    return out.commit();
}

QString savePictureCopy(const QString& source, const QString& target, int sizeOption, int dpi)
{
    const uint32_t format = formatOfName(target);
    if (format == CXIMAGE_FORMAT_UNKNOWN)
        return QStringLiteral("unknown picture format");
    if (sameFile(source, target))
        return QStringLiteral("a picture cannot be saved over itself");
    CxImage picture;
    if (!picture.Load(QFile::encodeName(source).toStdString(), formatOfName(source)))
        return QString::fromUtf8(picture.GetLastError());
    std::optional<picture::PictureMetadata> metadata = picture::readPictureMetadata(source);
    const double factor = measure::exportFactor(sizeOption, 1.0);
    const bool resized = factor != 1.0;
    if (!resized && format == picture.GetType() && dpi == picture.GetXDPI() && dpi == picture.GetYDPI()) {
        if (!copyFileReplacing(source, target))
            return QStringLiteral("the copy could not be written");
        picture::placeSidecar(target, format, metadata);
        return {};
    }
    if (resized) {
        const QSize size(std::max(1, int(picture.GetWidth() * factor + 0.5)),
                         std::max(1, int(picture.GetHeight() * factor + 0.5)));
        const QImage scaled = picture.ToQImage().scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        if (!picture.CreateFromQImage(scaled.convertToFormat(QImage::Format_RGB888)))
            return QString::fromUtf8(picture.GetLastError());
    }
    picture.SetXDPI(dpi);
    picture.SetYDPI(dpi);
    // The copy measures as its source did: the scale follows its size.
    if (metadata) {
        metadata = picture::scaledTo(*metadata, QSize(int(picture.GetWidth()), int(picture.GetHeight())));
        metadata->dpi = dpi;
    }
    return picture::writePictureFile(picture, target, format, metadata);
}

QStringList copyInto(const QStringList& sources, const QString& folder)
{
    QStringList kept;
    for (const QString& source : sources) {
        const QString name = QFileInfo(source).fileName();
        const QString target = QDir(folder).filePath(name);
        if (QFileInfo::exists(target) || QFileInfo(target).isSymLink() || !copyFileReplacing(source, target)) {
            kept.append(name);
            continue;
        }
        // A BMP's calibration and time go along; one left there without its
        // picture described nothing.
        if (QFileInfo::exists(picture::sidecarPath(source)))
            copyFileReplacing(picture::sidecarPath(source), picture::sidecarPath(target));
    }
    return kept;
}

}  // namespace files
