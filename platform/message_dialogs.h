#pragma once

#include <QString>

namespace platform {

// The one way every window shows a message or asks for a confirmation, so
// tests can answer in place of a user. The application installs the widget
// implementation at start-up; without one, messages go to stderr and
// confirmations are declined.
class MessageDialogs {
public:
    virtual ~MessageDialogs() = default;
    // A text with an OK button.
    virtual void inform(const QString& text, const QString& caption = QString()) = 0;
    // A text with OK and Cancel; true for OK.
    virtual bool confirm(const QString& text, const QString& caption = QString()) = 0;
    // A confirmation with a tick box labelled `rememberText`; `remember` tells
    // whether the user ticked it (never, where no box can be shown).
    virtual bool confirmRemembered(const QString& text, const QString& rememberText, bool& remember,
                                   const QString& caption = QString())
    {
        (void)rememberText;
        remember = false;
        return confirm(text, caption);
    }
};

MessageDialogs& messageDialogs();

// Installs `dialogs` (not owned) and returns the one it replaces; nullptr
// restores the stderr fallback.
MessageDialogs* setMessageDialogs(MessageDialogs* dialogs);

}  // namespace platform
