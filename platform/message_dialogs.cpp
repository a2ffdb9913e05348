#include "message_dialogs.h"

#include <atomic>
#include <cstdio>

namespace platform {

namespace {

class StderrDialogs final : public MessageDialogs {
public:
    void inform(const QString& text, const QString& caption) override
    {
        std::fprintf(stderr, "vellumet: %s%s%s\n", qPrintable(caption), caption.isEmpty() ? "" : ": ", qPrintable(text));
    }
    bool confirm(const QString& text, const QString& caption) override
    {
        inform(text, caption);
        return false;
    }
};

StderrDialogs g_fallback;
std::atomic<MessageDialogs*> g_installed{nullptr};

}  // namespace

MessageDialogs& messageDialogs()
{
    MessageDialogs* d = g_installed.load();
    return d ? *d : g_fallback;
}

MessageDialogs* setMessageDialogs(MessageDialogs* dialogs)
{
    return g_installed.exchange(dialogs);
}

}  // namespace platform
