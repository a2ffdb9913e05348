#pragma once

#include <QObject>

#include <functional>
#include <memory>
#include <optional>

class QLocalServer;

namespace platform {

// Numbered messages between programs, addressed by a window's title. A
// program showing a window of some title listens on a local socket named
// after it in the user's runtime folder; another program finds the window
// there, sends it a number and two arguments, and waits for its answer.
class MessageWindow : public QObject {
    Q_OBJECT
public:
    // Answers one message, on the GUI thread.
    using Handler = std::function<qint64(int message, qint64 wParam, qint64 lParam)>;

    MessageWindow(const QString& title, Handler handler, QObject* parent = nullptr);
    ~MessageWindow() override;

    // False when another live window of the title already listens (it keeps
    // the title) or the socket cannot be made.
    bool isListening() const;

private:
    void takeConnection();

    Handler m_handler;
    std::unique_ptr<QLocalServer> m_server;
};

// Whether a window of the title listens now.
bool windowExists(const QString& title);

// Sends a message and waits for the answer; nothing when no window of the
// title listens or it does not answer in time.
std::optional<qint64> sendWindowMessage(const QString& title, int message, qint64 wParam = 0, qint64 lParam = 0,
                                        int timeoutMs = 2000);

}  // namespace platform
