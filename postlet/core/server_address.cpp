#include "server_address.h"

namespace postlet {

namespace {

constexpr quint16 kSubmissionPort = 587;
constexpr quint16 kSubmissionsPort = 465;

std::optional<quint16> portOf(const QString& text)
{
    bool ok = false;
    const uint port = text.toUInt(&ok);
    if (!ok || port == 0 || port > 65535)
        return std::nullopt;
    return static_cast<quint16>(port);
}

}  // namespace

std::optional<ServerAddress> parseServerAddress(const QString& text)
{
    const QString t = text.trimmed();
    ServerAddress a;
    QString portText;
    if (t.startsWith(QLatin1Char('['))) {
        const qsizetype close = t.indexOf(QLatin1Char(']'));
        if (close < 0)
            return std::nullopt;
        a.host = t.mid(1, close - 1);
        const QString rest = t.mid(close + 1);
        if (!rest.isEmpty()) {
            if (!rest.startsWith(QLatin1Char(':')))
                return std::nullopt;
            portText = rest.mid(1);
        }
    } else if (t.count(QLatin1Char(':')) == 1) {
        const qsizetype colon = t.indexOf(QLatin1Char(':'));
        a.host = t.left(colon);
        portText = t.mid(colon + 1);
    } else {
        a.host = t;  // a name, a dotted address or an IPv6 address without a port
    }
    if (a.host.isEmpty() || a.host.contains(QLatin1Char(' ')))
        return std::nullopt;
    if (t.count(QLatin1Char(':')) == 1 || !portText.isEmpty() || t.endsWith(QLatin1Char(':'))) {
        const auto port = portOf(portText);
        if (!port)
            return std::nullopt;
        a.port = *port;
    }
    if (a.port == kSubmissionsPort)
        a.tls = TlsMode::Implicit;
    else if (a.port == kSubmissionPort)
        a.tls = TlsMode::StartTls;
    return a;
}

}  // namespace postlet
