#include "http_get.h"

#include <curl/curl.h>

#include <mutex>

namespace wifi {

void initCurl()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

namespace {

struct Transfer {
    QByteArray* body;
    qint64 maxBody;
    bool tooLarge = false;
    const std::atomic<bool>* cancel;
};

size_t onBody(char* data, size_t size, size_t count, void* user)
{
    auto* t = static_cast<Transfer*>(user);
    const size_t n = size * count;
    if (t->body->size() + static_cast<qint64>(n) > t->maxBody) {
        t->tooLarge = true;
        return 0;  // makes curl stop with a write error
    }
    t->body->append(data, static_cast<qsizetype>(n));
    return n;
}

int onProgress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
{
    auto* t = static_cast<Transfer*>(user);
    return t->cancel && t->cancel->load() ? 1 : 0;
}

}  // namespace

void setCameraOptions(void* curlEasy, const CameraAddress& auth)
{
    CURL* curl = static_cast<CURL*>(curlEasy);
    // libcurl keeps its own copies of the strings.
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http");
    curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http");
    // The camera sits on its own network: never through a proxy.
    curl_easy_setopt(curl, CURLOPT_NOPROXY, "*");
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_HTTPAUTH, static_cast<long>(CURLAUTH_BASIC));
    curl_easy_setopt(curl, CURLOPT_USERNAME, auth.user.toUtf8().constData());
    curl_easy_setopt(curl, CURLOPT_PASSWORD, auth.password.toUtf8().constData());
}

HttpReply httpGet(const CameraAddress& auth, const QString& url, const HttpLimits& limits, const std::atomic<bool>* cancel)
{
    initCurl();
    HttpReply reply;
    CURL* curl = curl_easy_init();
    if (!curl) {
        reply.error = QStringLiteral("Could not start a network request");
        return reply;
    }
    const QByteArray urlBytes = url.toUtf8();
    char curlError[CURL_ERROR_SIZE] = {};
    Transfer transfer{&reply.body, limits.maxBody, false, cancel};

    curl_easy_setopt(curl, CURLOPT_URL, urlBytes.constData());
    setCameraOptions(curl, auth);
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, 3L);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(limits.connectMs));
    curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, static_cast<long>(limits.totalMs));
    curl_easy_setopt(curl, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(limits.maxBody));
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, onBody);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, onProgress);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &transfer);
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, curlError);

    const CURLcode code = curl_easy_perform(curl);
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &reply.status);
    curl_easy_cleanup(curl);

    if (transfer.tooLarge || code == CURLE_FILESIZE_EXCEEDED) {
        reply.error = QStringLiteral("The microscope's answer is larger than %1 bytes").arg(limits.maxBody);
    } else if (code == CURLE_ABORTED_BY_CALLBACK) {
        reply.error = QStringLiteral("Cancelled");
    } else if (code == CURLE_OPERATION_TIMEDOUT) {
        reply.error = QStringLiteral("The microscope did not answer in time");
    } else if (code == CURLE_COULDNT_CONNECT) {
        reply.error = QStringLiteral("Could not reach the microscope");
    } else if (code != CURLE_OK) {
        reply.error = QStringLiteral("The request to the microscope failed: %1")
                          .arg(QString::fromUtf8(curlError[0] ? curlError : curl_easy_strerror(code)));
    } else if (reply.status == 401) {
        reply.error = QStringLiteral("The microscope refused the login");
    } else if (reply.status >= 400) {
        reply.error = QStringLiteral("The microscope answered with HTTP status %1").arg(reply.status);
    } else {
        reply.ok = true;
    }
    if (!reply.ok)
        reply.body.clear();
    return reply;
}

}  // namespace wifi
