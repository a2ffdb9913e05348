#include "ExportSource.h"

#include <algorithm>
#include <functional>

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

void ExportSource::deleteMeasurements(std::vector<int> sources)
{
    std::sort(sources.begin(), sources.end(), std::greater<>());
    sources.erase(std::unique(sources.begin(), sources.end()), sources.end());
    for (const int source : sources)
        m_window->deleteMeasurement(source);
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
