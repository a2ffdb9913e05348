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

    QStringList messages;
    QStringList captions;
    std::deque<bool> answers;

private:
    platform::MessageDialogs* m_previous = nullptr;
};

}  // namespace testing_support
