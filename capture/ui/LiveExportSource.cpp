#include "LiveExportSource.h"

#include "CDeviceView.h"

#include "capture/core/still_request.h"

#include "base/app_settings.h"
#include "base/view_host.h"

namespace capture {

bool liveLabelApplies(int selector, int kind)
{
    if (selector < 2 || selector > 9)
        return false;
    const auto flag = static_cast<measure::ShowFlag>(selector - 2);
    return flag == measure::ShowName || flag == measure::ShowDiameter || flag == measure::ShowUnit
        || measure::showsLine(kind, flag);
}

namespace {

class LiveExportWindow final : public measure::ExportWindow {
public:
    explicit LiveExportWindow(CDeviceView& view) : m_view(view) {}

    std::vector<measure::ExportMeasurement> measurements() const override
    {
        return measure::slotMeasurements(m_view.measurements(), m_view.host().measure());
    }

    bool isShown(int source) const override
    {
        const measure::VideoShapeList& list = m_view.measurements();
        return source >= 0 && size_t(source) < list.size() && list[size_t(source)]->visible;
    }

    void toggleShown(int source) override
    {
        m_view.editMeasurements([source](size_t i, measure::CShape& r) {
            if (int(i) == source)
                r.visible = r.visible ? 0 : 1;
        });
    }

    void toggleLabel(int selector) override
    {
        m_view.editMeasurements([selector](size_t, measure::CShape& r) {
            if (liveLabelApplies(selector, r.kind)) {
                int& flag = r.show[size_t(selector - 2)];
                flag = flag ? 0 : 1;
            }
        });
    }

    void deleteAll() override { m_view.editMeasurements({}, true); }
    void deleteMeasurement(int source) override
    {
        if (source >= 0)
            m_view.deleteMeasurement(size_t(source));
    }

    QSize pictureSize() const override { return m_view.frameSize(); }

    // The workbook's picture is a still of the slot taken with these options.
    void exportWorkbook(const measure::PictureOptions& options) override
    {
        StillRequest request = m_view.stillRequest(StillRequest::WorkbookPicture);
        request.options = options;
        m_view.writeWorkbook(request);
    }

private:
    CDeviceView& m_view;
};

}  // namespace

measure::ExportSource exportSource(CDeviceView& view)
{
    return measure::ExportSource(std::make_unique<LiveExportWindow>(view), view.host().settings().exportImprint);
}

}  // namespace capture
