#pragma once

#include <QString>

#include <optional>

namespace postlet {

// How the connection is protected.
enum class TlsMode {
    WhenOffered,  // plain, upgraded with STARTTLS when the server offers it
    StartTls,     // STARTTLS is required (submission port 587)
    Implicit,     // TLS from the first byte (port 465)
};

struct ServerAddress {
    QString host;
    quint16 port = 25;
    TlsMode tls = TlsMode::WhenOffered;
};

// "host", "host:port", "[v6 address]:port" or a bare IPv6 address; the port
// decides the protection. Nothing when the text names no host or a bad port.
std::optional<ServerAddress> parseServerAddress(const QString& text);

}  // namespace postlet
