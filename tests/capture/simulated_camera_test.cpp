// The simulated microscope's bytes, decoded the way live frames are.
#include "capture/core/device_list.h"
#include "capture/core/pixel_convert.h"
#include "capture/core/simulated_camera.h"

#include <linux/videodev2.h>

#include <gtest/gtest.h>

#include <cstdlib>

using namespace capture;

namespace {

// Mean absolute difference between a decoded bottom-up frame and the
// top-down picture the camera saw.
double meanDifference(const std::vector<uint8_t>& bottomUp, const std::vector<uint8_t>& topDown, int w, int h)
{
    double sum = 0;
    for (int y = 0; y < h; ++y) {
        const uint8_t* a = bottomUp.data() + size_t(h - 1 - y) * rowStride(w);
        const uint8_t* b = topDown.data() + size_t(y) * w * 3;
        for (int i = 0; i < w * 3; ++i)
            sum += std::abs(int(a[i]) - int(b[i]));
    }
    return sum / (double(w) * h * 3);
}

double mean(const std::vector<uint8_t>& v)
{
    double s = 0;
    for (uint8_t b : v)
        s += b;
    return s / double(v.size());
}

}  // namespace

TEST(SimulatedCamera, IsAMicroscopeOfModelOne)
{
    SimulatedCamera cam(SimulatedCamera::Model::Model1, 2);
    EXPECT_EQ(modelIndexOf(cam.devicePath()), 0);
    const ResolutionTable table = buildResolutionTable(cam.capabilities());
    EXPECT_EQ(countResolutions(table), 5u);  // 160 x 120 left out, 640 x 480 and the others once
    EXPECT_EQ(table[0], (ResolutionEntry{320, 240, FormatMJPG}));
    EXPECT_EQ(table[1], (ResolutionEntry{640, 480, FormatYUY2}));
    EXPECT_EQ(cameraModelOf(table, 0), 1);
    EXPECT_EQ(cameraModelOf(buildResolutionTable(SimulatedCamera(SimulatedCamera::Model::FiveMegapixel, 1).capabilities()), 0),
              4);
    EXPECT_FALSE(cam.setFormat(1920, 1080, FormatMJPG));
    EXPECT_TRUE(cam.setFormat(1280, 1024, FormatMJPG));
}

TEST(SimulatedCamera, YuyvFramesDecodeToWhatTheSensorSaw)
{
    SimulatedCamera cam(SimulatedCamera::Model::Model1, 1);
    ASSERT_TRUE(cam.setFormat(640, 480, FormatYUY2));
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(cam.capture(3, bytes));
    ASSERT_EQ(bytes.size(), 640u * 480 * 2);
    std::vector<uint8_t> frame(size_t(rowStride(640)) * 480);
    ASSERT_TRUE(yuyvToBgr(bytes.data(), bytes.size(), {frame.data(), 640, 480, rowStride(640)}));
    EXPECT_LT(meanDifference(frame, cam.lastPicture(), 640, 480), 4.0);
    EXPECT_FALSE(yuyvToBgr(bytes.data(), bytes.size() - 1, {frame.data(), 640, 480, rowStride(640)}));
}

TEST(SimulatedCamera, MjpegFramesDecodeAndDamagedOnesAreRefused)
{
    SimulatedCamera cam(SimulatedCamera::Model::Model1, 1);
    ASSERT_TRUE(cam.setFormat(800, 600, FormatMJPG));
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(cam.capture(0, bytes));
    ASSERT_EQ(bytes[0], 0xFF);
    ASSERT_EQ(bytes[1], 0xD8);
    std::vector<uint8_t> frame(size_t(rowStride(800)) * 600);
    const FrameView view{frame.data(), 800, 600, rowStride(800)};
    std::string why;
    ASSERT_TRUE(mjpegToBgr(bytes.data(), bytes.size(), view, &why)) << why;
    EXPECT_LT(meanDifference(frame, cam.lastPicture(), 800, 600), 6.0);  // JPEG drops some of the sensor's noise

    EXPECT_FALSE(mjpegToBgr(bytes.data(), 0, view, &why));
    EXPECT_FALSE(mjpegToBgr(bytes.data(), bytes.size() / 2, view, &why));
    EXPECT_EQ(why, "JPEG frame cut short");
    std::vector<uint8_t> small(size_t(rowStride(640)) * 480);
    EXPECT_FALSE(mjpegToBgr(bytes.data(), bytes.size(), {small.data(), 640, 480, rowStride(640)}, &why));
    EXPECT_EQ(why, "JPEG frame of another size");
    std::vector<uint8_t> junk(bytes.begin(), bytes.begin() + 600);
    junk.resize(bytes.size(), 0x5A);
    EXPECT_FALSE(mjpegToBgr(junk.data(), junk.size(), view, &why));
}

TEST(SimulatedCamera, ControlsChangeThePictureStillButtonAndCable)
{
    SimulatedCamera cam(SimulatedCamera::Model::Model1, 1);
    std::vector<uint8_t> bytes;
    cam.capture(0, bytes);
    const double normal = mean(cam.lastPicture());
    EXPECT_TRUE(cam.setControl(V4L2_CID_BRIGHTNESS, 500));  // clamped to 64
    EXPECT_EQ(cam.control(V4L2_CID_BRIGHTNESS), 64);
    cam.capture(0, bytes);
    EXPECT_GT(mean(cam.lastPicture()), normal + 20);
    cam.setControl(V4L2_CID_BRIGHTNESS, 0);
    cam.setControl(V4L2_CID_CONTRAST, 0);
    cam.capture(0, bytes);
    EXPECT_NEAR(mean(cam.lastPicture()), 128, 2);  // no contrast: flat grey
    EXPECT_FALSE(cam.setControl(0x1234, 1));

    // A manual white balance tints the picture, no saturation takes the tint
    // away again; while automatic, the temperature is inactive and refused.
    cam.setControl(V4L2_CID_CONTRAST, 32);
    EXPECT_FALSE(cam.setControl(V4L2_CID_WHITE_BALANCE_TEMPERATURE, 2800));
    EXPECT_TRUE(cam.setControl(V4L2_CID_AUTO_WHITE_BALANCE, 0));
    EXPECT_TRUE(cam.setControl(V4L2_CID_WHITE_BALANCE_TEMPERATURE, 2800));
    const auto tint = [&] {
        cam.capture(0, bytes);
        const std::vector<uint8_t>& p = cam.lastPicture();
        double blueMinusRed = 0;
        for (size_t i = 0; i < p.size(); i += 3)
            blueMinusRed += double(p[i]) - p[i + 2];
        return blueMinusRed / double(p.size() / 3);
    };
    EXPECT_LT(tint(), -10);
    cam.setControl(V4L2_CID_SATURATION, 0);
    EXPECT_NEAR(tint(), 0, 1);
    EXPECT_FALSE(cam.setControl(V4L2_CID_POWER_LINE_FREQUENCY, 7));  // no such entry

    // The picture drifts from frame to frame, as a live stage does.
    cam.capture(0, bytes);
    const std::vector<uint8_t> first = cam.lastPicture();
    cam.capture(10, bytes);
    EXPECT_NE(first, cam.lastPicture());

    EXPECT_FALSE(cam.takeStillPress());
    cam.pressStill();
    EXPECT_TRUE(cam.takeStillPress());
    EXPECT_FALSE(cam.takeStillPress());
    cam.unplug();
    EXPECT_FALSE(cam.capture(1, bytes));
    cam.plugIn();
    EXPECT_TRUE(cam.capture(1, bytes));
}

// Through the specimen's grain, the sensor's noise and JPEG, the ruling stays
// readable: one row crosses all 101 marks, 0.01 mm apart at the known scale.
TEST(SimulatedCamera, ScaleMarksStayReadableAtTheKnownScale)
{
    SimulatedCamera cam(SimulatedCamera::Model::Model1, 1);
    ASSERT_TRUE(cam.setFormat(1280, 1024, FormatMJPG));
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(cam.capture(7, bytes));
    std::vector<uint8_t> frame(size_t(rowStride(1280)) * 1024);
    ASSERT_TRUE(mjpegToBgr(bytes.data(), bytes.size(), {frame.data(), 1280, 1024, rowStride(1280)}));
    const double division = cam.slide().pixelsPerMm() / StageMicrometer::kDivisions;
    int rulingRows = 0;
    for (int y = 0; y < 1024; ++y) {
        // The centres of the dark runs along the row.
        std::vector<double> marks;
        int start = -1;
        for (int x = 0; x <= 1280; ++x) {
            const uint8_t* p = frame.data() + size_t(y) * rowStride(1280) + size_t(x) * 3;
            const bool dark = x < 1280 && (p[0] + 2 * p[1] + p[2]) / 4 < 80;
            if (dark && start < 0)
                start = x;
            if (!dark && start >= 0) {
                marks.push_back((start + x - 1) / 2.0);
                start = -1;
            }
        }
        if (marks.size() != size_t(StageMicrometer::kDivisions) + 1)
            continue;
        bool even = true;
        for (size_t i = 1; i < marks.size(); ++i)
            even = even && std::abs(marks[i] - marks[i - 1] - division) <= 1.5;
        if (even && std::abs(marks.back() - marks.front() - cam.slide().pixelsPerMm()) <= 2.0)
            ++rulingRows;
    }
    EXPECT_GE(rulingRows, 3);
}
