#pragma once

#include "camera_address.h"

#include <QByteArray>
#include <QString>

#include <atomic>

namespace wifi {

struct HttpLimits {
    int connectMs = 3000;
    int totalMs = 10000;
    qint64 maxBody = 1 << 20;
};

struct HttpReply {
    bool ok = false;
    long status = 0;
    QByteArray body;
    QString error;  // for people; never carries the password
};

// Sets libcurl up for the whole program; safe to call from any thread, any
// number of times.
void initCurl();

// One GET with the camera's login (HTTP basic auth), following at most three
// redirects. Blocks for up to limits.totalMs: never call it on the GUI thread.
// A status of 400 or more, a body over limits.maxBody, or `cancel` becoming
// true (checked while the request runs) make it fail.
// What every request to the camera carries: plain HTTP, no proxy, no
// signals, and its basic-authentication login. `curlEasy` is a CURL*.
void setCameraOptions(void* curlEasy, const CameraAddress& auth);

HttpReply httpGet(const CameraAddress& auth, const QString& url, const HttpLimits& limits = {},
                  const std::atomic<bool>* cancel = nullptr);

}  // namespace wifi
