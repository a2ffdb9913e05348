#pragma once

#include "folder_info.h"

#include <QList>

namespace files {

// The orders of the folder list, as stored in the sortFolders setting.
enum class FolderOrder { Stored = 0, Created = 1, Name = 2 };

// The order the sort command switches to: stored, created, name, stored...
// An unknown stored value starts the cycle again.
int nextFolderOrder(int sortFolders);

// Orders the records by the sortable creation time or the name in natural
// order; records that rank alike keep their stored order.
void sortFolders(QList<FolderInfo>& folders, int sortFolders);

}  // namespace files
