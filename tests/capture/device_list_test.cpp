#include "capture/core/device_list.h"

#include <gtest/gtest.h>

using namespace capture;

TEST(DeviceList, OnlyAcceptedMicroscopesAreListedInOrderAtMostTen)
{
    EXPECT_EQ(modelIndexOf(QStringLiteral("usb#VID_14C3&PID_1302#A1#/dev/video2")), 1);
    EXPECT_EQ(modelIndexOf(QStringLiteral("usb#vid_14c3&pid_1303#x#/dev/video0")), 2);
    EXPECT_EQ(modelIndexOf(QStringLiteral("usb#vid_046d&pid_0825#webcam#/dev/video0")), -1);

    std::vector<FoundDevice> found{
        {QStringLiteral("usb#vid_046d&pid_0825#cam#/dev/video0"), QStringLiteral("Microscope 1301 (really a webcam)")},
        {QStringLiteral("usb#VID_14C3&PID_1302#s1#/dev/video2"), QStringLiteral("Scope A")},
        {QStringLiteral("usb#vid_14c3&pid_1301#s2#/dev/video4"), QString()},
    };
    for (int i = 0; i < 12; ++i)
        found.push_back({QStringLiteral("usb#vid_14c3&pid_1303#n%1#/dev/video%2").arg(i).arg(10 + i), QStringLiteral("n")});
    DeviceList scratch, live;
    live[0].inUse = 1;
    ASSERT_TRUE(enumerateDevices(found, scratch, live));
    EXPECT_EQ(live[0].devicePath, QStringLiteral("usb#VID_14C3&PID_1302#s1#/dev/video2"));  // as reported, not lower-cased
    EXPECT_EQ(live[0].friendlyName, QStringLiteral("Scope A"));
    EXPECT_EQ(live[0].modelIndex, 1);
    EXPECT_EQ(live[0].inUse, 0);
    EXPECT_EQ(live[1].modelIndex, 0);
    EXPECT_EQ(live[9].devicePath, QStringLiteral("usb#vid_14c3&pid_1303#n7#/dev/video17"));  // the eleventh is left out

    DeviceList untouched = live;
    EXPECT_FALSE(enumerateDevices({{QStringLiteral("usb#vid_046d&pid_0825#cam#/dev/video0"), {}}}, scratch, live));
    EXPECT_EQ(live[0].devicePath, untouched[0].devicePath);
    EXPECT_EQ(scratch[0].modelIndex, -1);
}
