#include "scripted_http_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <stdexcept>

namespace testing_support {

namespace {

const char* reason(int status)
{
    switch (status) {
    case 200: return "OK";
    case 301: return "Moved Permanently";
    case 302: return "Found";
    case 401: return "Unauthorized";
    case 403: return "Forbidden";
    case 404: return "Not Found";
    case 500: return "Internal Server Error";
    default: return "Status";
    }
}

// Reads up to the blank line after the headers; false when the client went
// away, sent too much or the server is stopping.
bool readRequest(int fd, const std::atomic<bool>& stopping, QByteArray* head)
{
    char chunk[4096];
    while (!head->contains("\r\n\r\n") && !head->contains("\n\n")) {
        if (stopping.load() || head->size() > 65536)
            return false;
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, 20) <= 0)
            continue;
        const ssize_t n = recv(fd, chunk, sizeof chunk, 0);
        if (n <= 0)
            return false;
        head->append(chunk, n);
    }
    return true;
}

ScriptedHttpServer::Request parseRequest(const QByteArray& head)
{
    ScriptedHttpServer::Request request;
    const QList<QByteArray> lines = head.split('\n');
    const QList<QByteArray> first = lines.value(0).trimmed().split(' ');
    request.method = first.value(0);
    request.target = first.value(1);
    const qsizetype query = request.target.indexOf('?');
    request.path = query < 0 ? request.target : request.target.left(query);
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const qsizetype colon = lines[i].indexOf(':');
        if (colon > 0)
            request.headers[lines[i].left(colon).trimmed().toLower()] = lines[i].mid(colon + 1).trimmed();
    }
    return request;
}

}  // namespace

QByteArray ScriptedHttpServer::Request::header(const QByteArray& name) const
{
    const auto it = headers.find(name.toLower());
    return it == headers.end() ? QByteArray() : it->second;
}

ScriptedHttpServer::Exchange::Exchange(ScriptedHttpServer& server, int fd, Request request)
    : m_server(server), m_fd(fd), m_request(std::move(request))
{
}

bool ScriptedHttpServer::Exchange::send(const QByteArray& bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        if (m_fd < 0 || stopping())
            return false;
        pollfd p{m_fd, POLLOUT, 0};
        if (poll(&p, 1, 20) <= 0)
            continue;
        const ssize_t n = ::send(m_fd, bytes.constData() + done, static_cast<size_t>(bytes.size() - done), MSG_NOSIGNAL);
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

bool ScriptedHttpServer::Exchange::respond(int status, const QByteArray& body, const QByteArray& contentType,
                                           const QByteArray& extraHeaders)
{
    QByteArray head = "HTTP/1.1 " + QByteArray::number(status) + ' ' + reason(status) + "\r\n";
    head += "Content-Type: " + contentType + "\r\n";
    head += "Content-Length: " + QByteArray::number(body.size()) + "\r\n";
    head += "Connection: close\r\n" + extraHeaders + "\r\n";
    return send(head + body);
}

bool ScriptedHttpServer::Exchange::pause(int ms)
{
    std::unique_lock lock(m_server.m_mutex);
    return !m_server.m_wake.wait_for(lock, std::chrono::milliseconds(ms), [&] { return m_server.m_stopping.load(); });
}

void ScriptedHttpServer::Exchange::holdUntilClosed()
{
    char chunk[1024];
    while (m_fd >= 0 && !stopping()) {
        pollfd p{m_fd, POLLIN, 0};
        if (poll(&p, 1, 20) <= 0)
            continue;
        if (recv(m_fd, chunk, sizeof chunk, 0) <= 0)
            return;
    }
}

void ScriptedHttpServer::Exchange::drop()
{
    if (m_fd < 0)
        return;
    {
        std::lock_guard lock(m_server.m_mutex);
        auto& fds = m_server.m_openFds;
        fds.erase(std::remove(fds.begin(), fds.end(), m_fd), fds.end());
    }
    ::shutdown(m_fd, SHUT_RDWR);
    ::close(m_fd);
    m_fd = -1;
}

bool ScriptedHttpServer::Exchange::stopping() const
{
    return m_server.m_stopping.load();
}

ScriptedHttpServer::ScriptedHttpServer()
{
    m_listenFd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    socklen_t size = sizeof address;
    if (m_listenFd < 0 || bind(m_listenFd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0
        || listen(m_listenFd, 64) != 0 || getsockname(m_listenFd, reinterpret_cast<sockaddr*>(&address), &size) != 0)
        throw std::runtime_error("the test server cannot listen on loopback");
    m_port = ntohs(address.sin_port);
    m_acceptThread = std::thread([this] { acceptLoop(); });
}

ScriptedHttpServer::~ScriptedHttpServer()
{
    stop();
}

void ScriptedHttpServer::on(const QByteArray& target, Handler handler)
{
    std::lock_guard lock(m_mutex);
    m_handlers[target] = std::move(handler);
}

void ScriptedHttpServer::serve(const QByteArray& target, int status, const QByteArray& body, const QByteArray& contentType)
{
    on(target, [=](Exchange& ex) { ex.respond(status, body, contentType); });
}

void ScriptedHttpServer::requireLogin(const QByteArray& user, const QByteArray& password)
{
    std::lock_guard lock(m_mutex);
    m_login = user + ':' + password;
}

int ScriptedHttpServer::requestCount(const QByteArray& path) const
{
    std::lock_guard lock(m_mutex);
    return static_cast<int>(
        std::count_if(m_requests.begin(), m_requests.end(), [&](const Request& r) { return r.path == path; }));
}

std::vector<ScriptedHttpServer::Request> ScriptedHttpServer::requests() const
{
    std::lock_guard lock(m_mutex);
    return m_requests;
}

void ScriptedHttpServer::stop()
{
    {
        std::lock_guard lock(m_mutex);
        if (m_stopping.exchange(true) && !m_acceptThread.joinable())
            return;
        for (const int fd : m_openFds)
            ::shutdown(fd, SHUT_RDWR);
    }
    m_wake.notify_all();
    if (m_listenFd >= 0)
        ::shutdown(m_listenFd, SHUT_RDWR);
    if (m_acceptThread.joinable())
        m_acceptThread.join();
    std::vector<std::thread> connections;
    {
        std::lock_guard lock(m_mutex);
        connections.swap(m_connections);
    }
    for (auto& t : connections)
        t.join();
    if (m_listenFd >= 0) {
        ::close(m_listenFd);
        m_listenFd = -1;
    }
}

void ScriptedHttpServer::acceptLoop()
{
    while (!m_stopping.load()) {
        pollfd p{m_listenFd, POLLIN, 0};
        if (poll(&p, 1, 20) <= 0)
            continue;
        const int fd = accept4(m_listenFd, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0)
            continue;
        std::lock_guard lock(m_mutex);
        if (m_stopping.load()) {
            ::close(fd);
            break;
        }
        m_openFds.push_back(fd);
        m_connections.emplace_back([this, fd] { serveConnection(fd); });
    }
}

bool ScriptedHttpServer::loginAccepted(const Request& request) const
{
    std::lock_guard lock(m_mutex);
    if (m_login.isEmpty())
        return true;
    return request.header("authorization") == "Basic " + m_login.toBase64();
}

ScriptedHttpServer::Handler ScriptedHttpServer::handlerFor(const Request& request) const
{
    std::lock_guard lock(m_mutex);
    auto it = m_handlers.find(request.target);
    if (it == m_handlers.end())
        it = m_handlers.find(request.path);
    return it == m_handlers.end() ? Handler() : it->second;
}

void ScriptedHttpServer::serveConnection(int fd)
{
    QByteArray head;
    Exchange exchange(*this, fd, {});
    if (readRequest(fd, m_stopping, &head)) {
        exchange.m_request = parseRequest(head);
        {
            std::lock_guard lock(m_mutex);
            m_requests.push_back(exchange.m_request);
        }
        if (!loginAccepted(exchange.m_request)) {
            exchange.respond(401, "<html><body>Login required</body></html>", "text/html",
                             "WWW-Authenticate: Basic realm=\"camera\"\r\n");
        } else if (const Handler handler = handlerFor(exchange.m_request)) {
            handler(exchange);
        } else {
            exchange.respond(404, "<html><body>Not found</body></html>");
        }
    }
    exchange.drop();
}

int ScriptedHttpServer::closedPort()
{
    ScriptedHttpServer server;
    return server.port();
}

}  // namespace testing_support
