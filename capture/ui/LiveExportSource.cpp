#include "LiveExportSource.h"

#include "CDeviceView.h"

#include "shell/core/app_settings.h"
#include "shell/core/view_host.h"

#include "platform/posted_message.h"

namespace capture {

bool liveLabelApplies(int selector, int kind)
{
    switch (selector) {
    case 2:   // name
    case 5:   // diameter
    case 9:   // unit
        return true;
    case 3: return (kind >= 1 && kind <= 3) || kind == 11;             // length
    case 4: return kind == 5 || kind == 7 || kind == 8 || kind == 11;  // radius
    case 6:                                                            // perimeter
    case 7: return kind >= 4 && kind <= 8;                             // area
    case 8: return kind >= 8 && kind <= 10;                            // angle
    default: return false;
    }
}

std::vector<measure::ExportMeasurement> LiveExportSource::measurements() const
{
    return measure::slotMeasurements(m_view.measurements(), m_view.host().measure());
}

bool LiveExportSource::isShown(int source) const
{
    const measure::VideoShapeList& list = m_view.measurements();
    return source >= 0 && size_t(source) < list.size() && list[size_t(source)]->flags[0];
}

void LiveExportSource::toggleShown(int source)
{
    m_view.editMeasurements([source](size_t i, measure::CVideoShap& r) {
        if (int(i) == source)
            r.flags[0] = r.flags[0] ? 0 : 1;
    });
}

void LiveExportSource::toggleLabel(int selector)
{
    if (selector < 2 || selector > 9)
        return;
    m_view.editMeasurements([selector](size_t, measure::CVideoShap& r) {
        if (liveLabelApplies(selector, r.kind)) {
            int& flag = r.flags[size_t(selector - 1)];
            flag = flag ? 0 : 1;
        }
    });
}

void LiveExportSource::deleteAll()
{
    m_view.editMeasurements({}, true);
}

// The picture options are the still picture's: size, burn-in, DPI.
void LiveExportSource::exportWorkbook(int sizeOption, bool imprint, int dpi)
{
    shell::RegistrySettings& r = m_view.host().settings().registry;
    r.g_szSaveoption1 = quint32(sizeOption);
    r.g_szSaveoption2 = imprint ? 1 : 0;
    r.g_szBmporjpgDPI = quint32(dpi);
    platform::postMessage(&m_view, platform::msg::WriteLiveWorkbook);
}

QSize LiveExportSource::pictureSize() const
{
    return m_view.frameSize();
}

bool LiveExportSource::imprint() const
{
    return m_view.host().settings().registry.g_szSaveoption2 == 1;
}

}  // namespace capture
