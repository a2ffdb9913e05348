#pragma once

#include "registry_tree.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace platform {

// The registry file is the familiar .reg export text, UTF-8:
//
//   Windows Registry Editor Version 5.00
//
//   [HKEY_CURRENT_USER\SOFTWARE\Vellumet\Vellumet\Configation]
//   "g_szBmporjpg"=dword:00000001
//   "s_tool_active_unit"="mm"
//   "State"=hex:01,0a,ff
//
// Parsing is strict so that a file cut short or overwritten with garbage is
// recognised as damaged instead of being half-read.
QByteArray serializeRegText(const RegistryTree& tree);

struct RegParseResult {
    std::optional<RegistryTree> tree;  // empty when the text is damaged
    int errorLine = 0;                 // 1-based line of the first fault
    QString error;
};

RegParseResult parseRegText(const QByteArray& bytes);

}  // namespace platform
