#pragma once

#include "measure/ui/ExportSource.h"

namespace picture {

class CScoparaView;

// The export dialog's view of a picture window: its shapes, shown or hidden
// and relabelled through the window's messages (1153), exported through
// message 1157.
class PictureExportSource : public measure::ExportSource {
public:
    explicit PictureExportSource(CScoparaView& view) : m_view(view) {}

    std::vector<measure::ExportMeasurement> measurements() const override;
    bool isShown(int source) const override;
    void toggleShown(int source) override;
    void toggleLabel(int selector) override;
    void deleteAll() override;
    void exportWorkbook(int sizeOption, bool imprint, int dpi) override;
    QSize pictureSize() const override;
    bool imprint() const override;

private:
    CScoparaView& m_view;
};

}  // namespace picture
