#pragma once

#include <QString>

namespace wifi {

// Where the WiFi microscope answers and how it wants to be logged in to. The
// URLs carry no credentials; they travel apart so they never end up in a log.
struct CameraAddress {
    QString host = QStringLiteral("192.168.1.1");
    int pagePort = 80;
    int streamPort = 8899;
    QString user = QStringLiteral("admin");
    QString password = QStringLiteral("pq7rw");

    // "http://host[:port]" + pathAndQuery, which starts with '/'.
    QString pageUrl(const QString& pathAndQuery) const;
    QString streamUrl(const QString& pathAndQuery = QStringLiteral("/")) const;
};

}  // namespace wifi
