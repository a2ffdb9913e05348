#include "camera_address.h"

namespace wifi {

namespace {

QString makeUrl(const QString& host, int port, const QString& pathAndQuery)
{
    QString url = QStringLiteral("http://") + host;
    if (port != 80)
        url += QLatin1Char(':') + QString::number(port);
    if (!pathAndQuery.startsWith(QLatin1Char('/')))
        url += QLatin1Char('/');
    return url + pathAndQuery;
}

}  // namespace

QString CameraAddress::pageUrl(const QString& pathAndQuery) const
{
    return makeUrl(host, pagePort, pathAndQuery);
}

QString CameraAddress::streamUrl(const QString& pathAndQuery) const
{
    return makeUrl(host, streamPort, pathAndQuery);
}

}  // namespace wifi
