#pragma once

#include <QByteArray>
#include <QByteArrayList>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

namespace testing_support {

// A small HTTP server on 127.0.0.1 for tests, answering each path with a
// script. Every connection gets a thread of its own, so a long stream and
// short requests can run side by side. One request per connection.
class ScriptedHttpServer {
public:
    struct Request {
        QByteArray method;
        QByteArray target;                         // path and query as sent
        QByteArray path;                           // without the query
        std::map<QByteArray, QByteArray> headers;  // names in lower case
        QByteArray header(const QByteArray& name) const;
    };

    // One connection while its handler runs.
    class Exchange {
    public:
        const Request& request() const { return m_request; }
        // False once the client has gone or the server stops.
        bool send(const QByteArray& bytes);
        bool respond(int status, const QByteArray& body, const QByteArray& contentType = "text/html",
                     const QByteArray& extraHeaders = {});
        // Waits, false when the server stops meanwhile.
        bool pause(int ms);
        // Accepted and never answered: waits until the client leaves or the server stops.
        void holdUntilClosed();
        // Closes the connection at once, mid-answer if need be.
        void drop();
        bool stopping() const;

    private:
        friend class ScriptedHttpServer;
        Exchange(ScriptedHttpServer& server, int fd, Request request);
        ScriptedHttpServer& m_server;
        int m_fd;
        Request m_request;
    };
    using Handler = std::function<void(Exchange&)>;

    ScriptedHttpServer();
    ~ScriptedHttpServer();
    ScriptedHttpServer(const ScriptedHttpServer&) = delete;
    ScriptedHttpServer& operator=(const ScriptedHttpServer&) = delete;

    int port() const { return m_port; }
    // A loopback port nobody listens on: one a server held a moment ago.
    static int closedPort();
    // `target` is a path ("/media.asp"), or a path with its query when that
    // must match exactly; the exact form wins.
    void on(const QByteArray& target, Handler handler);
    void serve(const QByteArray& target, int status, const QByteArray& body, const QByteArray& contentType = "text/html");
    // Answers 401 to every request without this login.
    void requireLogin(const QByteArray& user, const QByteArray& password);

    int requestCount(const QByteArray& path) const;
    std::vector<Request> requests() const;
    // Stops accepting, wakes every handler and waits for them; also done by the destructor.
    void stop();

private:
    void acceptLoop();
    void serveConnection(int fd);
    Handler handlerFor(const Request& request) const;
    bool loginAccepted(const Request& request) const;

    int m_listenFd = -1;
    int m_port = 0;
    std::thread m_acceptThread;
    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    std::atomic<bool> m_stopping{false};
    std::map<QByteArray, Handler> m_handlers;
    QByteArray m_login;  // "user:password", empty for none
    std::vector<Request> m_requests;
    std::vector<std::thread> m_connections;
    std::vector<int> m_openFds;
};

}  // namespace testing_support
