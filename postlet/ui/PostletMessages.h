#pragma once

#include "platform/message_dialogs.h"

#include <QString>

namespace postlet {

// The program's title on every message box.
inline const QString kProgramTitle = QStringLiteral("Postlet");

// Shows `text` through the installed message dialogs with the program's title.
void showPostletMessage(const QString& text);
// The same for a failure: with the warning icon where the boxes below are installed.
void showPostletWarning(const QString& text);
// Asks with OK and Cancel; true for OK.
bool confirmPostlet(const QString& text);

// Message boxes over the active window.
class PostletMessageBoxes final : public platform::MessageDialogs {
public:
    void inform(const QString& text, const QString& caption) override;
    void warn(const QString& text, const QString& caption);
    bool confirm(const QString& text, const QString& caption) override;
};

}  // namespace postlet
