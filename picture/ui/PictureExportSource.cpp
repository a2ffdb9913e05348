#include "PictureExportSource.h"

#include "CScoparaView.h"

#include "measure/ui/ShapeHost.h"

#include "shell/core/view_host.h"

#include "platform/posted_message.h"

namespace picture {

std::vector<measure::ExportMeasurement> PictureExportSource::measurements() const
{
    return measure::pictureMeasurements(m_view.document().shapes(), m_view.host().measure());
}

bool PictureExportSource::isShown(int source) const
{
    const measure::ShapeList& shapes = m_view.document().shapes();
    return source >= 0 && size_t(source) < shapes.size() && shapes.at(size_t(source)).visible;
}

void PictureExportSource::toggleShown(int source)
{
    measure::ShapeList& shapes = m_view.document().shapes();
    if (source < 0 || size_t(source) >= shapes.size())
        return;
    int& visible = shapes.at(size_t(source)).visible;
    visible = visible ? 0 : 1;
    platform::postMessage(&m_view, platform::msg::ShowFlagToggle, 1);  // repaint
}

void PictureExportSource::toggleLabel(int selector)
{
    platform::postMessage(&m_view, platform::msg::ShowFlagToggle, selector);
}

// At once, so the lists refilled right after it are empty.
void PictureExportSource::deleteAll()
{
    m_view.shapeHost().deleteAll();
}

void PictureExportSource::exportWorkbook(int sizeOption, bool imprint, int dpi)
{
    exportOptions() = ExportOptions{sizeOption, imprint, dpi};
    platform::postMessage(&m_view, platform::msg::ExportRequest, 0, 0, ExportRequest{0, sizeOption, dpi, QString()});
}

QSize PictureExportSource::pictureSize() const
{
    return m_view.document().size();
}

bool PictureExportSource::imprint() const
{
    return exportOptions().imprint;
}

}  // namespace picture
