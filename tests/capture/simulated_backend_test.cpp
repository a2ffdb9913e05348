#include "capture/core/pixel_convert.h"
#include "capture/core/yuyv_display.h"
#include "capture/device/simulated_backend.h"

#include <gtest/gtest.h>

using namespace capture;

TEST(SimulatedBackend, MicroscopesStreamUntilUnplugged)
{
    SimulatedBackend backend(2, SimulatedCamera::Model::Model1, 60);
    const std::vector<FoundDevice> found = backend.enumerate();
    ASSERT_EQ(found.size(), 2u);
    DeviceList scratch, live;
    ASSERT_TRUE(enumerateDevices(found, scratch, live));
    EXPECT_EQ(live[1].friendlyName, QStringLiteral("Simulated Microscope 2"));

    auto source = backend.open(found[0].devicePath);
    ASSERT_TRUE(source);
    EXPECT_TRUE(source->setFormat(640, 480, FormatMJPG));
    ASSERT_TRUE(source->start());
    DeviceFrame f;
    int frames = 0;
    for (int i = 0; i < 10 && frames < 3; ++i)
        frames += source->nextFrame(200, f) == FrameWait::Frame;
    EXPECT_EQ(frames, 3);
    EXPECT_EQ(f.width, 640);
    EXPECT_EQ(f.format, FormatMJPG);
    EXPECT_EQ(f.data[0], 0xFF);

    backend.camera(0).pressStill();
    EXPECT_TRUE(source->stillButtonPressed());
    backend.camera(0).unplug();
    EXPECT_EQ(source->nextFrame(200, f), FrameWait::Gone);
    EXPECT_EQ(backend.enumerate().size(), 1u);
    EXPECT_FALSE(backend.open(found[0].devicePath));
}

TEST(YuyvDisplay, OpenCvPathAgreesWithOurConversion)
{
    SimulatedCamera cam(SimulatedCamera::Model::Model1, 1);
    ASSERT_TRUE(cam.setFormat(640, 480, FormatYUY2));
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(cam.capture(1, bytes));
    std::vector<uint32_t> ours(640 * 480), fast(640 * 480);
    ASSERT_TRUE(yuyvToDisplay(bytes.data(), bytes.size(), ours.data(), 640, 480, 640));
    ASSERT_TRUE(yuyvToDisplayFast(bytes.data(), bytes.size(), fast.data(), 640, 480, 640));
    int worst = 0;
    for (size_t i = 0; i < ours.size(); ++i)
        for (int shift : {0, 8, 16})
            worst = std::max(worst, std::abs(int((ours[i] >> shift) & 0xFF) - int((fast[i] >> shift) & 0xFF)));
    EXPECT_LE(worst, 2);
    EXPECT_EQ(fast[0] >> 24, 0xFFu);  // opaque
    EXPECT_FALSE(yuyvToDisplayFast(bytes.data(), bytes.size() - 2, fast.data(), 640, 480, 640));
}
