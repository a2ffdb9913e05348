#pragma once

#include "capture/core/camera_control.h"

#include <QByteArray>
#include <QSize>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>
#include <vector>

namespace wifi {

// One entry of the camera's mode list, "number,usable,width,height".
struct CameraMode {
    int number = 0;
    bool usable = false;
    int width = 0;
    int height = 0;
    QString text;  // the entry as received
};

// The media page: the modes and the one the camera streams in.
struct MediaPage {
    std::vector<CameraMode> modes;
    int savedIndex = -1;  // mode number - 1
    QSize streamSize;
    int cameraModel = 0;
};

// The video wizard page: the modes the video dialog offers and the picture controls.
struct WizardPage {
    std::vector<CameraMode> dialogModes;
    std::vector<capture::CameraControl> controls;
};

// These never crash on any input; a page they cannot make sense of gives
// nullopt and, in `why`, the reason.
std::optional<MediaPage> parseMediaPage(const QByteArray& body, QString* why = nullptr);
std::optional<WizardPage> parseWizardPage(const QByteArray& body, QString* why = nullptr);

// The resolutions offered in the menu, as "width,height": usable modes from
// 320 x 240 up to 1280 x 1024, at most twelve.
QStringList resolutionMenu(const std::vector<CameraMode>& modes);

// The leading decimal number of the trigger page's reply.
std::optional<int> parseTrigger(const QByteArray& body);

// Pages and requests. The mode switch and the trigger go to the page port,
// the commands and the stream to the stream port.
inline constexpr char kMediaPagePath[] = "/media.asp";
inline constexpr char kWizardPagePath[] = "/wizardvideo.asp";
inline constexpr char kTriggerPath[] = "/updateNPNvram.cgi?camera_gpio_trigger";
inline constexpr char kStreamPath[] = "/";  // the stream is the stream port's root
QString modeSwitchPath(int modeNumber);
QString controlCommandPath(uint32_t id, int value);

}  // namespace wifi
