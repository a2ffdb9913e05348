#pragma once

#include "platform/message_dialogs.h"

namespace shell {

// Message boxes on the application's active window.
class QtMessageDialogs final : public platform::MessageDialogs {
public:
    void inform(const QString& text, const QString& caption) override;
    bool confirm(const QString& text, const QString& caption) override;
};

}  // namespace shell
