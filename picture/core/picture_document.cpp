#include "picture_document.h"

#include "picture_operations.h"
#include "picture_writer.h"

#include "measure/core/burn_in.h"
#include "measure/core/measure_state.h"

#include <QFileInfo>

namespace picture {

bool CScoparaDoc::open(const QString& path)
{
    const uint32_t format = formatOfPath(path);
    m_openError.clear();
    if (format == CXIMAGE_FORMAT_UNKNOWN) {
        m_openError = QStringLiteral("unknown picture format");
        return false;
    }
    if (!QFileInfo(path).isFile()) {
        m_openError = QStringLiteral("the file does not exist");
        return false;
    }
    CxImage loaded;
    if (!loaded.Load(path.toStdString(), format) || !loaded.IsValid()) {
        m_openError = QString::fromUtf8(loaded.GetLastError());
        return false;
    }
    m_path = path;
    m_metadata = readPictureMetadata(path);
    m_picture = std::move(loaded);
    m_backup = m_picture;
    pictureChanged();
    return true;
}

QString CScoparaDoc::title() const
{
    return QFileInfo(m_path).fileName();
}

void CScoparaDoc::restoreBackup()
{
    m_picture = m_backup;
    pictureChanged();
}

QString CScoparaDoc::save(const QString& path, const measure::MeasureState& settings)
{
    const uint32_t format = formatOfPath(path);
    if (format == CXIMAGE_FORMAT_UNKNOWN)
        return QStringLiteral("unknown picture format");
    measure::BurnIn shapes;
    shapes.shapes = &m_shapes;
    const QImage out = measure::burntIn(m_display, shapes, settings);
    CxImage image;
    if (!image.CreateFromQImage(out.convertToFormat(QImage::Format_RGB888)))
        return QString::fromUtf8(image.GetLastError());
    image.SetXDPI(m_picture.GetXDPI());
    image.SetYDPI(m_picture.GetYDPI());
    image.SetJpegQuality(m_picture.GetJpegQuality());
    std::optional<PictureMetadata> metadata = m_metadata;
    if (metadata) {
        metadata = scaledTo(*metadata, out.size());
        metadata->dpi = m_picture.GetXDPI();
    }
    return writePictureFile(image, path, format, metadata);
}

}  // namespace picture
