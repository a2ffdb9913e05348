#pragma once

#include "platform/message_dialogs.h"

#include <QStringList>

#include <deque>

namespace testing_support {

// Stands in for the user at message boxes: records every message and answers
// confirmations from a script (OK when the script is empty). Installed for
// its lifetime.
class ScriptedDialogs final : public platform::MessageDialogs {
public:
    ScriptedDialogs() { m_previous = platform::setMessageDialogs(this); }
    ~ScriptedDialogs() override { platform::setMessageDialogs(m_previous); }

    void inform(const QString& text, const QString& caption) override
    {
        messages.append(text);
        captions.append(caption);
    }
    bool confirm(const QString& text, const QString& caption) override
    {
        inform(text, caption);
        if (answers.empty())
            return true;
        const bool a = answers.front();
        answers.pop_front();
        return a;
    }

    bool confirmRemembered(const QString& text, const QString& rememberText, bool& remember, const QString& caption) override
    {
        remember = !ticks.empty() && ticks.front();
        if (!ticks.empty())
            ticks.pop_front();
        rememberTexts.append(rememberText);
        return confirm(text, caption);
    }

    QStringList messages;
    QStringList captions;
    QStringList rememberTexts;
    std::deque<bool> answers;
    // Whether the user ticks the remember box, one per remembered confirmation.
    std::deque<bool> ticks;

private:
    platform::MessageDialogs* m_previous = nullptr;
};

}  // namespace testing_support
