#pragma once

#include "app_paths.h"

namespace platform {
class IniDocument;
}

namespace base {

// Reads savepath.ini into the save root, folders root and current folder, or
// on a first start writes it with the folder tree under the settings home.
// A value missing from an existing file (a file cut short or edited by hand)
// is given its first-start value and written back, so the program never
// saves into an empty path.
void loadOrCreateSavePaths(AppPaths& paths);

// Sets RootDir, PictureVideoDir and SelectPictureVideoDir of section
// DefaultSavePath from `paths`, for callers that rewrite the whole file.
void setSavePaths(platform::IniDocument& ini, const AppPaths& paths);
// Stores the same three values in savepath.ini in one atomic replace.
bool storeSavePaths(const AppPaths& paths);

}  // namespace base
