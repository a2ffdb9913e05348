#pragma once

#include <QtGlobal>

#include <span>

namespace base {

// A command with the key and English default of its menu text or tooltip.
struct CommandText {
    int id;
    const char* key;  // nullptr: the text is fixed
    const char* defaultText;
};

// The main toolbar, left to right; id 0 is a separator. The icon name is
// the file under resources/icons/ without ".svg".
struct ToolbarButton {
    int id;
    const char* key;
    const char* defaultText;
    const char* icon;
};
std::span<const ToolbarButton> mainToolbarButtons();

// The language commands with the identifiers each one stores.
struct LanguageCommand {
    int id;
    const char* key;
    const char* defaultText;
    quint32 mainId;
    quint32 subId;
};
std::span<const LanguageCommand> languageCommands();

// Picture-format commands: the format (1 BMP, 2 JPG) or DPI each one stores.
struct ValueCommand {
    int id;
    const char* text;
    quint32 value;
};
std::span<const ValueCommand> pictureFormatCommands();
std::span<const ValueCommand> dpiCommands();

// Application looks: command id, the name shown in the menu.
struct AppLookCommand {
    int id;
    const char* name;
};
std::span<const AppLookCommand> appLookCommands();

// The twelve measuring tools' commands and the tool code each chooses (the
// same in picture and live windows).
struct ToolCommand {
    int id;
    int toolCode;
};
std::span<const ToolCommand> measuringToolCommands();
// The tool code of a measuring tool's command, 0 for any other command.
int toolCodeOfCommand(int id);
constexpr int kDefaultAppLook = 219;

}  // namespace base
