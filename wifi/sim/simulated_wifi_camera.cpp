#include "simulated_wifi_camera.h"

#include "capture/core/simulated_camera.h"

#include <QUrlQuery>

#include <arpa/inet.h>
#include <linux/videodev2.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstring>
#include <list>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

namespace wifi {

namespace {

using Clock = std::chrono::steady_clock;

constexpr char Boundary[] = "boundarydonotcross";
constexpr int RequestLimit = 16 * 1024;
constexpr int RequestTimeoutMs = 10000;

struct Mode {
    int number = 0;
    bool usable = false;
    int width = 0, height = 0;
};

std::vector<Mode> parseModes(const QString& list)
{
    std::vector<Mode> modes;
    for (const QString& entry : list.split('#', Qt::SkipEmptyParts)) {
        const QStringList f = entry.split(',');
        if (f.size() != 4)
            continue;
        Mode m;
        bool ok[4];
        m.number = f[0].trimmed().toInt(&ok[0]);
        m.usable = f[1].trimmed().toInt(&ok[1]) == 1;
        m.width = f[2].trimmed().toInt(&ok[2]);
        m.height = f[3].trimmed().toInt(&ok[3]);
        if (ok[0] && ok[1] && ok[2] && ok[3])
            modes.push_back(m);
    }
    return modes;
}

// The picture controls as the pages offer them. The ranges are the USB
// microscope's, except brightness, which the pages give as 0..255.
struct PageControl {
    const char* name;
    uint32_t id;
    int minimum, maximum, defaultValue;
    int value;
};

std::vector<PageControl> pageControls()
{
    return {
        {"Brightness", V4L2_CID_BRIGHTNESS, 0, 255, 128, 128}, {"Contrast", V4L2_CID_CONTRAST, 0, 64, 32, 32},
        {"Saturation", V4L2_CID_SATURATION, 0, 128, 64, 64},   {"Hue", V4L2_CID_HUE, -40, 40, 0, 0},
        {"Gamma", V4L2_CID_GAMMA, 72, 500, 100, 100},          {"Sharpness", V4L2_CID_SHARPNESS, 0, 6, 3, 3},
    };
}

// The simulated sensor's brightness is -64..64: the pages' 0..255 is spread
// over it so that the whole range visibly changes the picture.
int cameraValue(const PageControl& c)
{
    if (c.id == V4L2_CID_BRIGHTNESS)
        return std::clamp(int(std::lround((c.value - 128) / 2.0)), -64, 64);
    return c.value;
}

bool sendAll(int fd, const char* data, size_t size)
{
    while (size > 0) {
        const ssize_t n = ::send(fd, data, size, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= size_t(n);
    }
    return true;
}

bool sendAll(int fd, const QByteArray& bytes)
{
    return sendAll(fd, bytes.constData(), size_t(bytes.size()));
}

struct Request {
    QByteArray method, target, path, query, authorization;
};

bool readRequest(int fd, Request& out)
{
    QByteArray buffer;
    char chunk[2048];
    while (buffer.indexOf("\r\n\r\n") < 0) {
        if (buffer.size() > RequestLimit)
            return false;
        pollfd p{fd, POLLIN, 0};
        const int r = ::poll(&p, 1, RequestTimeoutMs);
        if (r < 0 && errno == EINTR)
            continue;
        if (r <= 0)
            return false;
        const ssize_t n = ::recv(fd, chunk, sizeof chunk, 0);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        buffer.append(chunk, n);
    }
    const QList<QByteArray> lines = buffer.left(buffer.indexOf("\r\n\r\n")).split('\n');
    const QList<QByteArray> first = lines.first().trimmed().split(' ');
    if (first.size() < 2)
        return false;
    out.method = first[0];
    out.target = first[1];
    const qsizetype q = out.target.indexOf('?');
    out.path = q < 0 ? out.target : out.target.left(q);
    out.query = q < 0 ? QByteArray() : out.target.mid(q + 1);
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const qsizetype colon = lines[i].indexOf(':');
        if (colon > 0 && lines[i].left(colon).trimmed().toLower() == "authorization")
            out.authorization = lines[i].mid(colon + 1).trimmed();
    }
    return true;
}

const char* reasonOf(int status)
{
    switch (status) {
    case 200: return "OK";
    case 400: return "Bad Request";
    case 401: return "Unauthorized";
    case 404: return "Not Found";
    case 405: return "Method Not Allowed";
    default: return "Service Unavailable";
    }
}

QByteArray response(int status, const QByteArray& body, const QByteArray& contentType = "text/plain",
                    const QByteArray& extraHeaders = {})
{
    const char* reason = reasonOf(status);
    QByteArray r = "HTTP/1.0 " + QByteArray::number(status) + ' ' + reason + "\r\n";
    r += "Server: camera\r\nContent-Type: " + contentType + "\r\n";
    r += "Content-Length: " + QByteArray::number(body.size()) + "\r\n";
    r += "Cache-Control: no-cache\r\nConnection: close\r\n" + extraHeaders + "\r\n";
    return r + body;
}

// A listening socket on 127.0.0.1; -1 (and why) on failure.
int listenOn(quint16 port, quint16* bound, QString* why)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        *why = QString::fromLocal8Bit(std::strerror(errno));
        return -1;
    }
    // Binding the same port again after a pause must not wait for old connections.
    const int one = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || ::listen(fd, 32) != 0
        || ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len) != 0) {
        *why = QStringLiteral("127.0.0.1:%1: %2").arg(port).arg(QString::fromLocal8Bit(std::strerror(errno)));
        ::close(fd);
        return -1;
    }
    *bound = ntohs(a.sin_port);
    return fd;
}

}  // namespace

struct SimulatedWifiCamera::State {
    struct Worker {
        std::thread thread;
        std::shared_ptr<std::atomic<bool>> done;
    };
    struct Listener {
        bool stream = false;
        int fd = -1;
        quint16 port = 0;
        // Set by resume(): the thread listens again on the same port (or
        // says why it cannot), so one thread makes and closes its sockets.
        bool listenAgain = false;
        QString listenError;
        std::thread thread;
        std::list<Worker> workers;  // touched by its own thread only, and by stop() after joining it
    };
    struct Connection {
        bool stream = false;
        bool streaming = false;
    };

    explicit State(SimulatedWifiOptions o) : options(std::move(o))
    {
        options.fps = std::clamp(options.fps, 1, 120);
        options.settleMs = std::max(0, options.settleMs);
        camera.setSpecimenTexture(options.textured);
        for (const PageControl& c : controls)
            camera.setControl(c.id, cameraValue(c));
        modeList = options.modes;
        modes = parseModes(modeList);
        if (const Mode* m = usableMode(modes, options.savedIndex + 1))
            mode = *m;
        else
            mode.number = options.savedIndex + 1;  // start() refuses it
        page.port = options.pagePort;
        stream.port = options.streamPort;
        stream.stream = true;
    }

    // The mode of `number` if the camera can send its size; nullptr otherwise.
    const Mode* usableMode(const std::vector<Mode>& list, int number) const
    {
        for (const Mode& m : list) {
            if (m.number != number || !m.usable)
                continue;
            const auto& caps = camera.capabilities();
            const bool offered = std::any_of(caps.begin(), caps.end(), [&](const capture::Capability& c) {
                return c.width == m.width && c.height == m.height && c.format == capture::FormatMJPG;
            });
            return offered ? &m : nullptr;
        }
        return nullptr;
    }

    // With the lock held: the open streams end, and their clients see it at once.
    void closeStreams()
    {
        ++streamGen;
        frame.reset();
        for (const auto& [fd, c] : connections) {
            if (c.stream)
                ::shutdown(fd, SHUT_RDWR);
        }
        cv.notify_all();
    }

    // With the lock held.
    void shutdownAll()
    {
        for (Listener* l : {&page, &stream}) {
            if (l->fd >= 0)
                ::shutdown(l->fd, SHUT_RDWR);
        }
        for (const auto& [fd, c] : connections)
            ::shutdown(fd, SHUT_RDWR);
        ++streamGen;
        frame.reset();
        cv.notify_all();
    }

    void listenLoop(Listener& l);
    void serve(int fd, bool streamPort);
    void servePage(int fd, const Request& r);
    void serveStreamPort(int fd, const Request& r);
    void streamTo(int fd);
    void frameLoop();
    bool authorized(const Request& r) const;
    QByteArray mediaPage();
    QByteArray wizardPage();

    SimulatedWifiOptions options;
    capture::SimulatedCamera camera{capture::SimulatedCamera::Model::FiveMegapixel, 1};

    mutable std::mutex mutex;
    std::condition_variable cv;
    bool started = false, stopping = false, paused = false;
    Listener page, stream;
    std::map<int, Connection> connections;
    std::vector<Mode> modes;
    QString modeList;
    Mode mode;
    Clock::time_point settleUntil{};
    // Changes whenever the open streams must end (mode change, pause, stop).
    uint64_t streamGen = 0;
    std::shared_ptr<const std::vector<uint8_t>> frame;
    uint64_t frameSeq = 0;
    int streaming = 0;
    std::vector<PageControl> controls = pageControls();
    std::map<QByteArray, int> requestCounts;
    std::thread frameThread;

    std::atomic<int> trigger{0};
    std::atomic<qint64> sent{0}, encoded{0};
};

void SimulatedWifiCamera::State::listenLoop(Listener& l)
{
    auto reap = [&] {
        for (auto it = l.workers.begin(); it != l.workers.end();) {
            if (it->done->load()) {
                it->thread.join();
                it = l.workers.erase(it);
            } else {
                ++it;
            }
        }
    };
    std::unique_lock lock(mutex);
    for (;;) {
        // Shut down by pause() or stop(): this thread owns the socket and closes it.
        if ((paused || stopping) && l.fd >= 0) {
            ::close(l.fd);
            l.fd = -1;
            cv.notify_all();
        }
        cv.wait(lock, [&] { return stopping || (!paused && (l.fd >= 0 || l.listenAgain)); });
        if (stopping)
            break;
        if (l.listenAgain) {
            l.listenAgain = false;
            l.listenError.clear();
            l.fd = listenOn(l.port, &l.port, &l.listenError);
            cv.notify_all();
            continue;
        }
        const int fd = l.fd;
        lock.unlock();
        reap();
        pollfd p{fd, POLLIN, 0};
        const int r = ::poll(&p, 1, 200);
        const int client = r > 0 && (p.revents & POLLIN) ? ::accept4(fd, nullptr, nullptr, SOCK_CLOEXEC) : -1;
        lock.lock();
        if (client < 0)
            continue;
        if (paused || stopping) {
            ::close(client);
            continue;
        }
        connections[client] = Connection{l.stream, false};
        auto done = std::make_shared<std::atomic<bool>>(false);
        l.workers.push_back({std::thread([this, client, stream = l.stream, done] {
                                 serve(client, stream);
                                 done->store(true);
                             }),
                             done});
    }
    if (l.fd >= 0) {
        ::close(l.fd);
        l.fd = -1;
    }
    cv.notify_all();
    lock.unlock();
    for (Worker& w : l.workers)
        w.thread.join();
    l.workers.clear();
}

void SimulatedWifiCamera::State::serve(int fd, bool streamPort)
{
    Request r;
    if (readRequest(fd, r)) {
        {
            std::lock_guard lock(mutex);
            ++requestCounts[r.target];
        }
        if (r.method != "GET")
            sendAll(fd, response(405, "Method not allowed\n"));
        else if (!authorized(r))
            sendAll(fd,
                    response(401, "<html><body>401 Unauthorized</body></html>\n", "text/html",
                             "WWW-Authenticate: Basic realm=\"camera\"\r\n"));
        else if (streamPort)
            serveStreamPort(fd, r);
        else
            servePage(fd, r);
    }
    std::lock_guard lock(mutex);
    connections.erase(fd);
    ::close(fd);
    cv.notify_all();
}

bool SimulatedWifiCamera::State::authorized(const Request& r) const
{
    if (!r.authorization.toLower().startsWith("basic "))
        return false;
    return QByteArray::fromBase64(r.authorization.mid(6).trimmed()) == options.user + ':' + options.password;
}

QByteArray SimulatedWifiCamera::State::mediaPage()
{
    std::lock_guard lock(mutex);
    QByteArray html =
        "<html>\n<head>\n<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">\n"
        "<title>Media</title>\n<script type=\"text/javascript\">\n";
    html += "var cameraList = \"" + modeList.toLatin1() + "\";\n";
    html += "var video_port = \"" + QByteArray::number(stream.port) + "\";\n";
    html += "var video_frame = \"" + QByteArray::number(options.fps) + "\";\n";
    html += "var video_idx_save = \"" + QByteArray::number(mode.number - 1) + "\";\n";
    html +=
        "</script>\n</head>\n<body>\n<form name=\"media\" action=\"apply.cgi\" method=\"get\">\n"
        "<input type=\"hidden\" name=\"submit_button\" value=\"media\">\n"
        "<select name=\"video_idx\"></select>\n"
        "<input type=\"submit\" name=\"action\" value=\"Apply\">\n</form>\n</body>\n</html>\n";
    return html;
}

QByteArray SimulatedWifiCamera::State::wizardPage()
{
    std::lock_guard lock(mutex);
    QByteArray html = "<html>\n<head>\n<title>Video</title>\n<script type=\"text/javascript\">\n";
    html += "var cameraList = \"" + modeList.toLatin1() + "\";\n";
    html += "var cameraWidth = \"" + QByteArray::number(mode.width) + "\";\n";
    html += "var controls = [ ";
    for (size_t i = 0; i < controls.size(); ++i) {
        const PageControl& c = controls[i];
        auto field = [](const char* name, const QByteArray& value) { return QByteArray("\"") + name + "\": \"" + value + '"'; };
        html += "{" + field("name", c.name) + ", " + field("id", QByteArray::number(c.id)) + ", " + field("type", "1") + ", "
            + field("min", QByteArray::number(c.minimum)) + ", " + field("max", QByteArray::number(c.maximum)) + ", "
            + field("step", "1") + ", " + field("default", QByteArray::number(c.defaultValue)) + ", "
            + field("value", QByteArray::number(c.value)) + "}";
        html += i + 1 < controls.size() ? ",\n" : " ];\n";
    }
    html += "</script>\n</head>\n<body>\n<div id=\"controls\"></div>\n</body>\n</html>\n";
    return html;
}

void SimulatedWifiCamera::State::servePage(int fd, const Request& r)
{
    if (r.path == "/media.asp") {
        sendAll(fd, response(200, mediaPage(), "text/html"));
    } else if (r.path == "/wizardvideo.asp") {
        sendAll(fd, response(200, wizardPage(), "text/html"));
    } else if (r.path == "/updateNPNvram.cgi" && r.query.startsWith("camera_gpio_trigger")) {
        sendAll(fd, response(200, QByteArray::number(trigger.load()) + "\n"));
    } else if (r.path == "/apply.cgi") {
        const QUrlQuery query(QString::fromLatin1(r.query));
        bool ok = false;
        const int index = query.queryItemValue("video_idx").toInt(&ok);
        std::unique_lock lock(mutex);
        const Mode* m = ok ? usableMode(modes, index + 1) : nullptr;
        if (!m) {
            lock.unlock();
            sendAll(fd, response(400, "Unknown video mode\n"));
            return;
        }
        // The camera restarts its stream in the new size: a while without one.
        mode = *m;
        settleUntil = Clock::now() + std::chrono::milliseconds(options.settleMs);
        closeStreams();
        lock.unlock();
        sendAll(fd, response(200, "<html><body>Applied</body></html>\n", "text/html"));
    } else {
        sendAll(fd, response(404, "Not found\n"));
    }
}

void SimulatedWifiCamera::State::serveStreamPort(int fd, const Request& r)
{
    const QUrlQuery query(QString::fromLatin1(r.query));
    const QString action = query.queryItemValue("action");
    if (r.path != "/") {
        sendAll(fd, response(404, "Not found\n"));
    } else if (action.isEmpty() || action == "stream") {
        streamTo(fd);
    } else if (action == "command") {
        bool idOk = false, valueOk = false;
        const uint32_t id = query.queryItemValue("id").toUInt(&idOk);
        const int value = query.queryItemValue("value").toInt(&valueOk);
        std::unique_lock lock(mutex);
        auto c = std::find_if(controls.begin(), controls.end(), [&](const PageControl& pc) { return pc.id == id; });
        if (!idOk || !valueOk || c == controls.end()) {
            lock.unlock();
            sendAll(fd, response(400, "Unknown control\n"));
            return;
        }
        c->value = std::clamp(value, c->minimum, c->maximum);
        // Under the lock, so that two commands reach the sensor in the order they were stored.
        camera.setControl(c->id, cameraValue(*c));
        lock.unlock();
        sendAll(fd, response(200, "OK"));
    } else {
        sendAll(fd, response(400, "Unknown action\n"));
    }
}

void SimulatedWifiCamera::State::streamTo(int fd)
{
    uint64_t gen = 0, seq = 0;
    {
        std::lock_guard lock(mutex);
        if (paused || stopping || Clock::now() < settleUntil) {
            // Still restarting after a mode change.
            sendAll(fd, response(503, "Stream not ready\n"));
            return;
        }
        gen = streamGen;
        seq = frame ? frameSeq - 1 : frameSeq;  // the latest frame goes out at once
        connections[fd].streaming = true;
        ++streaming;
        cv.notify_all();
    }
    const QByteArray header = QByteArray(
                                  "HTTP/1.0 200 OK\r\nServer: camera\r\nConnection: close\r\n"
                                  "Cache-Control: no-store, no-cache, must-revalidate, max-age=0\r\n"
                                  "Pragma: no-cache\r\nContent-Type: multipart/x-mixed-replace; boundary=")
        + Boundary + "\r\n\r\n";
    bool ok = sendAll(fd, header);
    while (ok) {
        std::shared_ptr<const std::vector<uint8_t>> f;
        {
            std::unique_lock lock(mutex);
            cv.wait(lock, [&] { return stopping || paused || streamGen != gen || (frame && frameSeq != seq); });
            if (stopping || paused || streamGen != gen)
                break;
            f = frame;
            seq = frameSeq;
        }
        const QByteArray part = QByteArray("--") + Boundary
            + "\r\nContent-Type: image/jpeg\r\nContent-Length: " + QByteArray::number(qsizetype(f->size())) + "\r\n\r\n";
        ok = sendAll(fd, part) && sendAll(fd, reinterpret_cast<const char*>(f->data()), f->size()) && sendAll(fd, "\r\n", 2);
        if (ok)
            ++sent;
    }
    std::lock_guard lock(mutex);
    connections[fd].streaming = false;
    --streaming;
}

void SimulatedWifiCamera::State::frameLoop()
{
    using namespace std::chrono;
    std::vector<uint8_t> bytes;
    int t = 0;
    int64_t k = 0;  // frame k is due at start + k / fps
    Clock::time_point start;
    bool idle = true;
    auto due = [&](int64_t n) { return start + nanoseconds(n * 1'000'000'000 / options.fps); };
    std::unique_lock lock(mutex);
    for (;;) {
        cv.wait(lock, [&] { return stopping || (!paused && streaming > 0); });
        if (stopping)
            break;
        if (idle) {
            start = Clock::now();
            k = 0;
            idle = false;
        }
        if (cv.wait_until(lock, due(k), [&] { return stopping || paused || streaming == 0; })) {
            // The next client waits for a fresh frame rather than getting one from long ago.
            frame.reset();
            idle = true;
            continue;
        }
        const uint64_t gen = streamGen;
        const Mode m = mode;
        lock.unlock();
        if (camera.width() != m.width || camera.height() != m.height || camera.format() != capture::FormatMJPG)
            camera.setFormat(m.width, m.height, capture::FormatMJPG);
        camera.capture(t++, bytes);
        auto shared = std::make_shared<const std::vector<uint8_t>>(bytes);
        ++encoded;
        lock.lock();
        if (gen == streamGen && !paused && !stopping) {
            frame = std::move(shared);
            ++frameSeq;
            cv.notify_all();
        }
        // Late by a whole frame or more: skip to the current one rather than
        // sending the missed ones in a burst.
        const int64_t now = duration_cast<nanoseconds>(Clock::now() - start).count() * options.fps / 1'000'000'000;
        k = std::max(k + 1, now);
    }
}

SimulatedWifiCamera::SimulatedWifiCamera(SimulatedWifiOptions options) : d(std::make_unique<State>(std::move(options))) {}

SimulatedWifiCamera::~SimulatedWifiCamera()
{
    stop();
}

bool SimulatedWifiCamera::start(QString* why)
{
    QString reason;
    auto fail = [&](const QString& r) {
        if (why)
            *why = r;
        return false;
    };
    std::unique_lock lock(d->mutex);
    if (d->started)
        return fail(QStringLiteral("already started"));
    if (!d->usableMode(d->modes, d->mode.number))
        return fail(QStringLiteral("mode %1 is not a usable mode of \"%2\"").arg(d->mode.number - 1).arg(d->modeList));
    // Not yet streaming: the frame thread is the only one to use the sensor afterwards.
    d->camera.setFormat(d->mode.width, d->mode.height, capture::FormatMJPG);
    d->page.fd = listenOn(d->page.port, &d->page.port, &reason);
    if (d->page.fd < 0)
        return fail(reason);
    d->stream.fd = listenOn(d->stream.port, &d->stream.port, &reason);
    if (d->stream.fd < 0) {
        ::close(d->page.fd);
        d->page.fd = -1;
        return fail(reason);
    }
    d->started = true;
    d->page.thread = std::thread([this] { d->listenLoop(d->page); });
    d->stream.thread = std::thread([this] { d->listenLoop(d->stream); });
    d->frameThread = std::thread([this] { d->frameLoop(); });
    return true;
}

void SimulatedWifiCamera::stop()
{
    {
        std::lock_guard lock(d->mutex);
        if (!d->started || d->stopping)
            return;
        d->stopping = true;
        d->shutdownAll();
    }
    d->page.thread.join();
    d->stream.thread.join();
    d->frameThread.join();
}

quint16 SimulatedWifiCamera::pagePort() const
{
    std::lock_guard lock(d->mutex);
    return d->page.port;
}

quint16 SimulatedWifiCamera::streamPort() const
{
    std::lock_guard lock(d->mutex);
    return d->stream.port;
}

void SimulatedWifiCamera::pressTrigger()
{
    d->trigger.fetch_xor(1);
}

int SimulatedWifiCamera::trigger() const
{
    return d->trigger.load();
}

void SimulatedWifiCamera::pause()
{
    std::unique_lock lock(d->mutex);
    if (d->paused)
        return;
    d->paused = true;
    d->shutdownAll();
    // Returns once nothing is listening or connected any more.
    d->cv.wait(lock, [&] { return !d->paused || (d->connections.empty() && d->page.fd < 0 && d->stream.fd < 0); });
}

void SimulatedWifiCamera::resume()
{
    std::unique_lock lock(d->mutex);
    if (!d->paused)
        return;
    // The listeners close the old sockets before new ones take their ports.
    d->cv.wait(lock, [&] { return d->page.fd < 0 && d->stream.fd < 0; });
    d->paused = false;
    if (d->started && !d->stopping) {
        // The same ports as before, listening again before this returns.
        for (State::Listener* l : {&d->page, &d->stream})
            l->listenAgain = true;
        d->cv.notify_all();
        const auto settled = [](const State::Listener& l) { return !l.listenAgain; };
        d->cv.wait(lock, [&] { return d->stopping || d->paused || (settled(d->page) && settled(d->stream)); });
        for (State::Listener* l : {&d->page, &d->stream}) {
            if (l->fd < 0 && !l->listenError.isEmpty())
                qWarning("simulated WiFi camera: cannot listen again on %s", qPrintable(l->listenError));
        }
    }
    d->cv.notify_all();
}

bool SimulatedWifiCamera::paused() const
{
    std::lock_guard lock(d->mutex);
    return d->paused;
}

int SimulatedWifiCamera::streamClients() const
{
    std::lock_guard lock(d->mutex);
    return d->streaming;
}

qint64 SimulatedWifiCamera::framesSent() const
{
    return d->sent.load();
}

qint64 SimulatedWifiCamera::framesEncoded() const
{
    return d->encoded.load();
}

int SimulatedWifiCamera::currentMode() const
{
    std::lock_guard lock(d->mutex);
    return d->mode.number - 1;
}

QSize SimulatedWifiCamera::currentSize() const
{
    std::lock_guard lock(d->mutex);
    return QSize(d->mode.width, d->mode.height);
}

int SimulatedWifiCamera::control(quint32 id) const
{
    std::lock_guard lock(d->mutex);
    for (const PageControl& c : d->controls) {
        if (c.id == id)
            return c.value;
    }
    return 0;
}

int SimulatedWifiCamera::requests(const QByteArray& prefix) const
{
    std::lock_guard lock(d->mutex);
    int n = 0;
    for (const auto& [target, count] : d->requestCounts) {
        if (target.startsWith(prefix))
            n += count;
    }
    return n;
}

bool SimulatedWifiCamera::setModes(const QString& modes, int savedIndex)
{
    std::lock_guard lock(d->mutex);
    std::vector<Mode> list = parseModes(modes);
    const Mode* m = d->usableMode(list, savedIndex + 1);
    if (!m)
        return false;
    d->mode = *m;
    d->modeList = modes;
    d->modes = std::move(list);
    d->closeStreams();
    return true;
}

}  // namespace wifi
