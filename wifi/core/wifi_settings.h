#pragma once

#include "camera_address.h"

#include <QString>

namespace wifi {

// Where the WiFi microscope is reached: "<settings>/wifi.ini", section
// "Camera", keys Host, PagePort and StreamPort. Missing or unusable values
// take the camera's usual ones.
CameraAddress readCameraAddress(const QString& settingsFolder);
bool writeCameraAddress(const QString& settingsFolder, const CameraAddress& address);

}  // namespace wifi
