#pragma once

#include "app_paths.h"

namespace base {

// Reads savepath.ini into the save root, folders root and current folder, or
// on a first start writes it with the folder tree under the settings home.
// A value missing from an existing file (a file cut short or edited by hand)
// is given its first-start value and written back, so the program never
// saves into an empty path.
void loadOrCreateSavePaths(AppPaths& paths);

}  // namespace base
