#pragma once

#include "platform/message_dialogs.h"

namespace shell {

// The program's message boxes: CWarning2Dlg for messages, CWarningDlg for
// confirmations, over the active window.
class WarningDialogs final : public platform::MessageDialogs {
public:
    void inform(const QString& text, const QString& caption) override;
    bool confirm(const QString& text, const QString& caption) override;
    bool confirmRemembered(const QString& text, const QString& rememberText, bool& remember, const QString& caption) override;
};

}  // namespace shell
