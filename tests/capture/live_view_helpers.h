#pragma once

// Helpers of the live-window tests: heard sounds, folder listings, clip frames, the recording dialog.
#include "capture/core/device_list.h"
#include "capture/device/latest_frame.h"
#include "capture/device/simulated_backend.h"
#include "capture/ui/CFileSizeDlg.h"
#include "capture/ui/LiveWindows.h"
#include "measure/ui/CPitchDlg.h"

#include "platform/sound_player.h"

#include "fake_view_host.h"
#include "sandbox.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <opencv2/videoio.hpp>

namespace testing_support {

// What a live window needs around it: a sandbox home, three simulated
// microscopes as the camera backend, and the main window's stand-in.
struct LiveRig {
    LiveRig() : host(box.path()) {}

    Sandbox box;
    capture::SimulatedBackend backend{3, capture::SimulatedCamera::Model::Model1, 30};
    FakeHost host;
};

class HeardSounds : public platform::SoundPlayer {
public:
    HeardSounds() { m_previous = platform::setSoundPlayer(this); }
    ~HeardSounds() override { platform::setSoundPlayer(m_previous); }
    void play(const QString& path) override { played.append(path); }
    QStringList played;

private:
    platform::SoundPlayer* m_previous;
};

// The pictures and clips in a folder; a BMP's metadata sidecar beside it
// is no file of its own.
inline QStringList filesIn(const QString& folder)
{
    QStringList files = QDir(folder).entryList(QDir::Files, QDir::Name);
    files.removeIf([](const QString& name) { return name.endsWith(QLatin1String(".vcal")); });
    return files;
}

inline int framesIn(const QString& clip)
{
    cv::VideoCapture reader(clip.toStdString());
    if (!reader.isOpened())
        return -1;
    int frames = 0;
    cv::Mat frame;
    while (reader.read(frame))
        ++frames;
    return frames;
}

// Answers the grid's pitch question when it opens.
inline void answerPitch(const QString& pitch)
{
    QTimer::singleShot(0, [pitch] {
        auto* dialog = qobject_cast<measure::CPitchDlg*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        dialog->edit()->setText(pitch);
        dialog->accept();
    });
}

// Answers the recording dialog when it opens: the given seconds, then OK.
inline void answerRecordDialog(const QString& seconds)
{
    QTimer::singleShot(0, [seconds] {
        auto* dialog = qobject_cast<capture::CFileSizeDlg*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        dialog->timeEdit()->setText(seconds);
        dialog->okButton()->click();
    });
}

}  // namespace testing_support
