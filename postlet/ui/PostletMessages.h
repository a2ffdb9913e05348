#pragma once

#include "platform/message_dialogs.h"

#include <QString>

namespace postlet {

// The program's title on every message box.
inline const QString kProgramTitle = QStringLiteral("Postlet");

// Shows `text` through the installed message dialogs with the program's title.
void showPostletMessage(const QString& text);

// Message boxes over the active window.
class PostletMessageBoxes final : public platform::MessageDialogs {
public:
    void inform(const QString& text, const QString& caption) override;
    bool confirm(const QString& text, const QString& caption) override;
};

}  // namespace postlet
