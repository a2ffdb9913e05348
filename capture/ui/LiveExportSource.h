#pragma once

#include "measure/ui/ExportSource.h"

namespace capture {

class CDeviceView;

// The export dialog's view of a live window: the slot's live measurements,
// shown, hidden and relabelled in the window's list, exported through
// message 1156 (a still picture for the workbook, then the workbook).
class LiveExportSource : public measure::ExportSource {
public:
    explicit LiveExportSource(CDeviceView& view) : m_view(view) {}

    std::vector<measure::ExportMeasurement> measurements() const override;
    bool isShown(int source) const override;
    void toggleShown(int source) override;
    void toggleLabel(int selector) override;
    void deleteAll() override;
    void exportWorkbook(int sizeOption, bool imprint, int dpi) override;
    QSize pictureSize() const override;
    bool imprint() const override;

private:
    CDeviceView& m_view;
};

// Whether switch `selector` (2 name ... 9 unit) governs a label line of a
// live record of `kind`: name, diameter and unit on every record, the
// others on the kinds that show them.
bool liveLabelApplies(int selector, int kind);

}  // namespace capture
