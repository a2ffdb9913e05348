#pragma once

#include <QString>
#include <QStringList>

namespace platform {
class IniDocument;
}

namespace files {

// The folder list of savepath.ini: section SavePath, keys SaveFile1,
// SaveFile2, ... each the full path of a folder. Removing a folder leaves a
// gap in the numbering.

// The non-empty entries in key order, at most `limit` of them (the counted
// folders); a negative limit reads them all. Reading ends with the keys the
// file holds, however the numbering runs.
QStringList readSavePathList(const platform::IniDocument& ini, int limit);

// Replaces the whole list by SaveFile1..n in the given order.
void setSavePathList(platform::IniDocument& ini, const QStringList& folders);

// Removes every key whose value is `folder` (the exact path); true when one
// was removed.
bool removeFromSavePathList(platform::IniDocument& ini, const QString& folder);

// Reads the whole savepath.ini (empty when missing) and writes it back in one
// atomic replace.
platform::IniDocument readSavePathIni(const QString& path);
bool writeSavePathIni(const QString& path, const platform::IniDocument& ini);

}  // namespace files
