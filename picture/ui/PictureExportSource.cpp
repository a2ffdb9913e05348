#include "PictureExportSource.h"

#include "CScoparaView.h"

#include "measure/ui/ShapeHost.h"

#include "base/app_settings.h"
#include "base/view_host.h"

namespace picture {

namespace {

class PictureExportWindow final : public measure::ExportWindow {
public:
    explicit PictureExportWindow(CScoparaView& view) : m_view(view) {}

    std::vector<measure::ExportMeasurement> measurements() const override
    {
        return measure::pictureMeasurements(m_view.document().shapes(), m_view.measureState());
    }

    bool isShown(int source) const override
    {
        const measure::ShapeList& shapes = m_view.document().shapes();
        return source >= 0 && size_t(source) < shapes.size() && shapes.at(size_t(source)).visible;
    }

    void toggleShown(int source) override
    {
        measure::ShapeList& shapes = m_view.document().shapes();
        if (source < 0 || size_t(source) >= shapes.size())
            return;
        int& visible = shapes.at(size_t(source)).visible;
        visible = visible ? 0 : 1;
        m_view.shapeHost().toggleShowFlag(1);  // repaint
    }

    void toggleLabel(int selector) override { m_view.shapeHost().toggleShowFlag(selector); }

    // At once, so the lists refilled right after it are empty.
    void deleteAll() override { m_view.shapeHost().deleteAll(); }
    void deleteMeasurement(int source) override
    {
        if (source >= 0)
            m_view.shapeHost().deleteShape(size_t(source));
    }

    QSize pictureSize() const override { return m_view.document().size(); }

    void exportWorkbook(const measure::PictureOptions& options) override { m_view.exportWorkbook(options); }

private:
    CScoparaView& m_view;
};

}  // namespace

measure::ExportSource exportSource(CScoparaView& view)
{
    return measure::ExportSource(std::make_unique<PictureExportWindow>(view), view.host().settings().exportImprint);
}

}  // namespace picture
