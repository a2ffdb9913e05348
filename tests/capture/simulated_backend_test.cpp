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
