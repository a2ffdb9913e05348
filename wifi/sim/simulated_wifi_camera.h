#pragma once

#include <QByteArray>
#include <QSize>
#include <QString>

#include <cstdint>
#include <memory>

namespace wifi {

struct SimulatedWifiOptions {
    // The modes as the camera's pages list them: number, usable flag, width,
    // height; entries separated by '#'.
    QString modes = "1,1,640,480#2,1,1280,720#3,1,1600,1200#4,1,1920,1080#5,1,2592,1944";
    // The mode in use at start: its number minus one.
    int savedIndex = 1;
    int fps = 30;
    // After a mode change the stream is refused this long.
    int settleMs = 1500;
    // The specimen's grain and the sensor's noise in the pictures.
    bool textured = true;
    QByteArray user = "admin", password = "pq7rw";
    quint16 pagePort = 0, streamPort = 0;  // 0: any free port
};

// A WiFi microscope on loopback: its HTTP pages (mode list, controls, still
// button, mode change) on one port and its Motion-JPEG stream and control
// commands on another, both behind basic authentication. The pictures are
// those of the simulated USB microscope, encoded once a frame for every
// client. All members are safe from any thread.
class SimulatedWifiCamera {
public:
    explicit SimulatedWifiCamera(SimulatedWifiOptions options = {});
    ~SimulatedWifiCamera();  // stops and joins everything
    SimulatedWifiCamera(const SimulatedWifiCamera&) = delete;
    SimulatedWifiCamera& operator=(const SimulatedWifiCamera&) = delete;

    // Binds 127.0.0.1 on both ports and starts serving; false (and why) when
    // a port cannot be bound or the modes are unusable.
    bool start(QString* why = nullptr);
    void stop();
    quint16 pagePort() const;
    quint16 streamPort() const;

    // The camera's still button: the trigger state flips between 0 and 1.
    void pressTrigger();
    int trigger() const;
    // Switched off: every connection closed, both ports refuse until resume().
    void pause();
    void resume();
    bool paused() const;

    // Connections receiving the stream now.
    int streamClients() const;
    // Frames written to stream clients, all clients summed.
    qint64 framesSent() const;
    // Frames encoded (once each, however many clients).
    qint64 framesEncoded() const;
    // The mode in use as its index (its number minus one) and its size.
    int currentMode() const;
    QSize currentSize() const;
    // A picture control's value as the pages show it; 0 for an unknown id.
    int control(quint32 id) const;
    // Requests received on either port whose target starts with `prefix`.
    int requests(const QByteArray& prefix) const;
    // Replaces the mode list and chooses the mode in use; open streams close.
    // False (and nothing changes) when `savedIndex` names no usable mode.
    bool setModes(const QString& modes, int savedIndex);

private:
    struct State;
    std::unique_ptr<State> d;
};

}  // namespace wifi
