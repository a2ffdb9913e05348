#include "wifi_settings.h"

#include "platform/private_profile.h"

namespace wifi {

namespace {

const QString kSection = QStringLiteral("Camera");

QString iniOf(const QString& settingsFolder)
{
    return settingsFolder + QLatin1String("/wifi.ini");
}

int portOr(const QString& ini, const char* key, int fallback)
{
    const int port = platform::readProfileInt(ini, kSection, QLatin1String(key), fallback);
    return port > 0 && port < 65536 ? port : fallback;
}

}  // namespace

CameraAddress readCameraAddress(const QString& settingsFolder)
{
    CameraAddress address;
    const QString ini = iniOf(settingsFolder);
    const QString host = platform::readProfileString(ini, kSection, QStringLiteral("Host")).trimmed();
    if (!host.isEmpty() && !host.contains(QLatin1Char('/')) && !host.contains(QLatin1Char('@')))
        address.host = host;
    address.pagePort = portOr(ini, "PagePort", address.pagePort);
    address.streamPort = portOr(ini, "StreamPort", address.streamPort);
    return address;
}

bool writeCameraAddress(const QString& settingsFolder, const CameraAddress& address)
{
    return platform::writeProfileStrings(iniOf(settingsFolder), kSection,
                                         {{QStringLiteral("Host"), address.host},
                                          {QStringLiteral("PagePort"), QString::number(address.pagePort)},
                                          {QStringLiteral("StreamPort"), QString::number(address.streamPort)}});
}

}  // namespace wifi
