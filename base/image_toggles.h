#pragma once

#include <QString>

namespace base {

// The live views' picture toggles and the folder-list order, kept in
// morpholoyPofile.ini, section "Section".
struct ImageToggles {
    int featureSelected = 0;
    int imageHFlipSelected = 0;
    int imageVFlipSelected = 0;
    int imageColorSelected = 0;   // 0 normal, 1-3 one colour channel, 4 negative
    QString imagePrefixSelected;  // at most 23 characters
    int sortFolders = 0;          // 0 as stored, 1 by creation time, 2 by name

    bool operator==(const ImageToggles&) const = default;
};

// Longest file-name prefix kept, in characters.
constexpr int kMaxPrefixLength = 23;

// Missing file or keys read as 0 and an empty prefix.
ImageToggles readImageToggles(const QString& iniPath);
bool saveImageToggles(const QString& iniPath, const ImageToggles& toggles);

}  // namespace base
