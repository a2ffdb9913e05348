#pragma once

#include "cx_image.h"
#include "picture_metadata.h"

#include "measure/core/shape_list.h"

#include <QImage>
#include <QString>

#include <optional>

namespace measure {
struct MeasureState;
}

namespace picture {

// A saved picture opened for measuring: the picture as loaded, a copy to
// undo colour operations with, its shapes and how it is shown.
class CScoparaDoc {
public:
    // Loads the picture the name's extension asks for (BMP, JPEG); false for
    // another extension or a picture that cannot be read.
    bool open(const QString& path);
    // Why the last open failed, as the decoder said it.
    const QString& openError() const { return m_openError; }
    const QString& path() const { return m_path; }
    void setPath(const QString& path) { m_path = path; }
    // The file name, as the window's title.
    QString title() const;
    bool isValid() const { return m_picture.IsValid(); }
    QSize size() const { return {int(m_picture.GetWidth()), int(m_picture.GetHeight())}; }

    CxImage& picture() { return m_picture; }
    // The picture for painting, made again after the picture changed.
    const QImage& display() const { return m_display; }
    void pictureChanged() { m_display = m_picture.ToQImage(); }
    // Back to the picture as loaded.
    void restoreBackup();

    measure::ShapeList& shapes() { return m_shapes; }

    // What the file said about itself when opened (its scale, time and
    // camera); none for a picture without. A save carries it along.
    const std::optional<PictureMetadata>& metadata() const { return m_metadata; }
    void setMetadata(std::optional<PictureMetadata> metadata) { m_metadata = std::move(metadata); }

    // The picture with every shape drawn at full size (overlays are not
    // saved), written in the format of `path`'s extension through a
    // temporary file, with the metadata it was opened with. An empty answer
    // is success, else the reason.
    QString save(const QString& path, const measure::MeasureState& settings);

private:
    QString m_path;
    QString m_openError;
    CxImage m_picture;
    CxImage m_backup;
    QImage m_display;
    measure::ShapeList m_shapes;
    std::optional<PictureMetadata> m_metadata;
};

}  // namespace picture
