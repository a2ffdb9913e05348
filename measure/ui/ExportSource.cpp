#include "ExportSource.h"

#include <algorithm>
#include <functional>

namespace measure {

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

}  // namespace measure
