// The camera property dialog against the kernel's virtual camera (vivid), run
// inside the test machine: what the sliders set is what the driver reports.
#include "capture/device/live_stream.h"
#include "capture/device/v4l2_backend.h"
#include "capture/ui/CDeviceView.h"
#include "capture/ui/CVideoSettingDlg.h"
#include "capture/ui/LiveWindows.h"

#include "fake_view_host.h"
#include "sandbox.h"

#include <QSlider>
#include <QtTest>

#include <fcntl.h>
#include <linux/videodev2.h>
#include <sys/ioctl.h>
#include <unistd.h>

using namespace capture;

namespace {

// The control's value as the driver holds it, read through a node of our own.
int driverValue(uint32_t id)
{
    const int fd = ::open("/dev/video0", O_RDWR);
    v4l2_control c{};
    c.id = id;
    const int result = fd >= 0 ? ::ioctl(fd, VIDIOC_G_CTRL, &c) : -1;
    if (fd >= 0)
        ::close(fd);
    return result == 0 ? c.value : INT32_MIN;
}

}  // namespace

class VividDialogTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void slidersReachTheDriver()
    {
        testing_support::Sandbox box;
        testing_support::FakeHost host(box.path());
        V4l2Backend backend;
        CDeviceView view(usbSlotStream(1), backend.open(QStringLiteral("platform#vivid.0#/dev/video0")), host);
        QVERIFY(view.isConnected());
        CVideoSettingDlg dialog(view);
        const struct {
            const char* slider;
            uint32_t id;
            int value;
        } rows[] = {{"1083", V4L2_CID_BRIGHTNESS, 200},
                    {"1084", V4L2_CID_CONTRAST, 100},
                    {"1085", V4L2_CID_SATURATION, 50},
                    {"1086", V4L2_CID_HUE, 10}};
        for (const auto& row : rows) {
            auto* slider = dialog.findChild<QSlider*>(QLatin1String(row.slider));
            QVERIFY(slider->isEnabled());
            slider->setValue(row.value);
            QTRY_COMPARE(driverValue(row.id), row.value);
        }
        // vivid has no gamma and no exposure: their rows rest.
        QVERIFY(!dialog.findChild<QSlider*>(QStringLiteral("1088"))->isEnabled());
        QVERIFY(!dialog.findChild<QSlider*>(QStringLiteral("1092"))->isEnabled());
    }
};

QTEST_MAIN(VividDialogTest)
#include "vivid_dialog_test.moc"
