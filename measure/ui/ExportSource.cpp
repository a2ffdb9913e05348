#include "ExportSource.h"

namespace measure {

namespace {

// Kept for the run only: the dialog offers them again, nothing stores them.
ExportPictureOptions& lastOptions()
{
    static ExportPictureOptions options;
    return options;
}

}  // namespace

void ExportSource::toggleLabel(int selector)
{
    if (selector >= 2 && selector <= 9)
        m_window->toggleLabel(selector);
}

void ExportSource::exportWorkbook(int sizeOption, bool imprint, int dpi)
{
    lastOptions() = ExportPictureOptions{sizeOption, imprint, dpi};
    m_window->exportWorkbook(lastOptions());
}

bool ExportSource::imprint() const
{
    return lastOptions().imprint;
}

}  // namespace measure
