#include "folder_sort.h"

#include "natural_order.h"

#include <algorithm>

namespace files {

int nextFolderOrder(int sortFolders)
{
    return sortFolders == 0 || sortFolders == 1 ? sortFolders + 1 : 0;
}

void sortFolders(QList<FolderInfo>& folders, int sortFolders)
{
    QString FolderInfo::*key = nullptr;
    if (sortFolders == static_cast<int>(FolderOrder::Created))
        key = &FolderInfo::created;
    else if (sortFolders == static_cast<int>(FolderOrder::Name))
        key = &FolderInfo::name;
    else
        return;
    std::stable_sort(folders.begin(), folders.end(),
                     [key](const FolderInfo& a, const FolderInfo& b) { return naturalLess(a.*key, b.*key); });
}

}  // namespace files
