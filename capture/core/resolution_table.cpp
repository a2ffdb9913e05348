#include "resolution_table.h"

namespace capture {

ResolutionTable buildResolutionTable(const std::vector<Capability>& capabilities)
{
    ResolutionTable table{};
    size_t n = 0;
    for (const Capability& c : capabilities) {
        if (n == kResolutionSlots)
            break;  // later capabilities are ignored
        if ((c.format != FormatYUY2 && c.format != FormatMJPG) || c.width < 320 || c.height < 240)
            continue;
        table[n++] = {c.width, c.height, c.format};
    }
    // The first of a duplicate size survives, whatever its format.
    for (size_t i = 0; i < n; ++i) {
        if (table[i].width == 0)
            continue;
        for (size_t j = i + 1; j < n; ++j) {
            if (table[j].width == table[i].width && table[j].height == table[i].height)
                table[j] = {};
        }
    }
    std::vector<ResolutionEntry> kept;
    for (size_t i = 0; i < n; ++i) {
        if (table[i].width != 0 || table[i].height != 0)
            kept.push_back(table[i]);
    }
    // Stable insertion sort by width.
    for (size_t i = 1; i < kept.size(); ++i) {
        const ResolutionEntry e = kept[i];
        size_t j = i;
        while (j > 0 && kept[j - 1].width > e.width) {
            kept[j] = kept[j - 1];
            --j;
        }
        kept[j] = e;
    }
    table = {};
    for (size_t i = 0; i < kept.size(); ++i)
        table[i] = kept[i];
    return table;
}

size_t countResolutions(const ResolutionTable& table)
{
    size_t n = 0;
    while (n < table.size() && (table[n].width != 0 || table[n].height != 0))
        ++n;
    return n;
}

int32_t cameraModelOf(const ResolutionTable& table, int32_t previous)
{
    const size_t n = countResolutions(table);
    if (n == 0)
        return previous;
    switch (table[n - 1].width) {
    case 1280: return n >= 3 && table[n - 3].width == 352 ? 2 : 1;
    case 1600: return 3;
    case 1920: return 6;
    case 2592: return 4;
    case 3264: return 5;
    default: return previous;
    }
}

}  // namespace capture
