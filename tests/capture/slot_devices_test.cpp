// Which microscope each USB slot stands for while microscopes come and go.
#include "capture/core/device_list.h"

#include <QStringList>

#include <gtest/gtest.h>

using namespace capture;

namespace {

QString pathOf(const char* serial, int node)
{
    return QStringLiteral("usb#vid_14c3&pid_1301#%1#/dev/video%2").arg(QLatin1String(serial)).arg(node);
}

// The slots after a look at the system that finds `paths`, in that order.
void look(SlotDevices& slots, const QStringList& paths)
{
    std::vector<FoundDevice> found;
    for (const QString& p : paths)
        found.push_back({p, QStringLiteral("Microscope")});
    DeviceList scratch, listed;
    enumerateDevices(found, scratch, listed);
    bindSlots(scratch, slots);
}

QStringList presentPaths(const SlotDevices& slots)
{
    QStringList out;
    for (const VideoDeviceEntry& e : slots)
        out << (e.present ? e.devicePath : QString());
    return out;
}

}  // namespace

TEST(SlotDevices, TheFirstLookFillsTheSlotsInOrder)
{
    SlotDevices slots;
    look(slots, {pathOf("A", 0), QStringLiteral("usb#vid_046d&pid_0825#cam#/dev/video1"), pathOf("B", 2)});
    EXPECT_EQ(presentPaths(slots), (QStringList{pathOf("A", 0), pathOf("B", 2), {}, {}, {}}));
    EXPECT_EQ(slots[2].modelIndex, -1);
}

TEST(SlotDevices, AMicroscopeThatLeftKeepsItsSlotAndComesBackToIt)
{
    SlotDevices slots;
    look(slots, {pathOf("A", 0), pathOf("B", 2), pathOf("C", 4)});
    look(slots, {pathOf("B", 2), pathOf("C", 4)});
    EXPECT_EQ(presentPaths(slots), (QStringList{{}, pathOf("B", 2), pathOf("C", 4), {}, {}}));
    EXPECT_EQ(slots[0].devicePath, pathOf("A", 0));  // kept for its return

    // Back on another node and listed last: its serial finds its slot.
    look(slots, {pathOf("C", 4), pathOf("B", 2), pathOf("A", 6)});
    EXPECT_EQ(presentPaths(slots), (QStringList{pathOf("A", 6), pathOf("B", 2), pathOf("C", 4), {}, {}}));
}

TEST(SlotDevices, ANewMicroscopeTakesAnUnusedSlotBeforeOneWaitingForItsOwn)
{
    SlotDevices slots;
    look(slots, {pathOf("A", 0), pathOf("B", 2)});
    look(slots, {pathOf("B", 2), pathOf("D", 8)});
    EXPECT_EQ(presentPaths(slots), (QStringList{{}, pathOf("B", 2), pathOf("D", 8), {}, {}}));

    // With every slot used, a newcomer takes the first one whose microscope is out.
    look(slots, {pathOf("B", 2), pathOf("D", 8), pathOf("E", 10), pathOf("F", 12), pathOf("G", 14)});
    EXPECT_EQ(presentPaths(slots),
              (QStringList{pathOf("G", 14), pathOf("B", 2), pathOf("D", 8), pathOf("E", 10), pathOf("F", 12)}));
}

TEST(SlotDevices, TwoMicroscopesWithOneSerialEachKeepTheirOwnSlot)
{
    SlotDevices slots;
    look(slots, {pathOf("0001", 0), pathOf("0001", 2)});
    look(slots, {pathOf("0001", 2), pathOf("0001", 0)});
    EXPECT_EQ(presentPaths(slots), (QStringList{pathOf("0001", 0), pathOf("0001", 2), {}, {}, {}}));
}

TEST(SlotDevices, NoMicroscopeLeavesEverySlotWaiting)
{
    SlotDevices slots;
    look(slots, {pathOf("A", 0)});
    look(slots, {});
    EXPECT_FALSE(slots[0].present);
    EXPECT_EQ(slots[0].devicePath, pathOf("A", 0));
    EXPECT_EQ(deviceIdentity(pathOf("A", 3)), QStringLiteral("usb#vid_14c3&pid_1301#A"));
}
