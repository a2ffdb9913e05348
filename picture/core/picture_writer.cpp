#include "picture_writer.h"

#include "bmp_codec.h"
#include "cx_file.h"
#include "jpeg_codec.h"

#include "platform/atomic_file.h"

#include <QFile>

namespace picture {

namespace {

// The sidecar follows the picture: written beside a BMP with metadata, gone
// where the picture now has none (a JPEG carries its own). The picture is
// whole by then, so a sidecar that fails costs only its scale.
void placeSidecar(const QString& path, uint32_t format, const std::optional<PictureMetadata>& metadata)
{
    if (format == CXIMAGE_FORMAT_BMP && metadata)
        writeSidecar(path, *metadata);
    else
        QFile::remove(sidecarPath(path));
}

}  // namespace

QString encodePicture(const CxImage& image, uint32_t format, const std::optional<PictureMetadata>& metadata, QByteArray& bytes)
{
    if (format != CXIMAGE_FORMAT_BMP && format != CXIMAGE_FORMAT_JPG)
        return QStringLiteral("unknown picture format");
    if (!image.IsValid())
        return QStringLiteral("no picture");
    CxMemFile file;
    std::string error;
    if (!(format == CXIMAGE_FORMAT_BMP ? encodeBmp(image, file, error) : encodeJpeg(image, file, error)))
        return QString::fromStdString(error);
    std::vector<uint8_t> data = file.Data();
    // Metadata that cannot be embedded leaves the picture as it is.
    if (format == CXIMAGE_FORMAT_JPG && metadata)
        embedMetadata(data, *metadata, image.ToQImage());
    bytes = QByteArray(reinterpret_cast<const char*>(data.data()), qsizetype(data.size()));
    return {};
}

QString writePictureFile(const CxImage& image, const QString& path, uint32_t format,
                         const std::optional<PictureMetadata>& metadata)
{
    QByteArray bytes;
    if (QString failure = encodePicture(image, format, metadata, bytes); !failure.isEmpty())
        return failure;
    if (!platform::writeFileAtomically(path, bytes))
        return QStringLiteral("can't write file %1").arg(path);
    placeSidecar(path, format, metadata);
    return {};
}

QString writeNewPictureFile(const CxImage& image, const std::function<QString(int)>& name, uint32_t format,
                            const std::optional<PictureMetadata>& metadata, QString& saved)
{
    QByteArray bytes;
    if (QString failure = encodePicture(image, format, metadata, bytes); !failure.isEmpty())
        return failure;
    QString failure;
    saved = platform::writeNewFile(name, bytes, &failure);
    if (saved.isEmpty())
        return failure;
    placeSidecar(saved, format, metadata);
    return {};
}

}  // namespace picture
