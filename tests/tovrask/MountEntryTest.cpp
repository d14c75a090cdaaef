#include <gtest/gtest.h>

#include <cstdio>

#include "platform/HostSystem.h"
#include "tests/support/TempDir.h"
#include "tovrask/MountEntry.h"

using testsupport::MakeDirs;
using testsupport::TempDir;

class MountEntryTest : public ::testing::Test {
protected:
    MountEntryTest() : host(root.Path(), platform::HostFramebuffer::Config{}) {
        platform::Install(&host);
        for (const char* dir : {"dev/mtdblock4", "dev/mmcblk0p1", "mnt/nand", "mnt/usb", "mnt/maps"}) {
            MakeDirs(root / dir);
        }
    }

    // What the operations print, with their results.
    template <typename F>
    std::string Printed(F f) {
        testing::internal::CaptureStdout();
        f();
        return testing::internal::GetCapturedStdout();
    }

    TempDir root;
    platform::HostSystem host;
};

TEST_F(MountEntryTest, TheTableFollowsTheBoard) {
    for (int cpu : {0, 1, 2, 7}) {
        const auto table = CreateMountTable(cpu);
        ASSERT_EQ(table.size(), 4u);
        EXPECT_EQ(table[kMountNand]->device, cpu == 2 ? "/dev/mtdblock2" : "/dev/mtdblock4");
        EXPECT_EQ(table[kMountNand]->directory, "/mnt/nand/");
        EXPECT_EQ(table[kMountNand]->fsType, "yaffs2");
        EXPECT_EQ(table[kMountBoot]->directory, "/mnt/nand/boot/");
        EXPECT_EQ(table[kMountMaps]->device, "/dev/mmcblk0p2");
        EXPECT_EQ(table[kMountUsb]->device, "/dev/sda1");
        EXPECT_EQ(table[kMountUsb]->fsType, "vfat");
        EXPECT_TRUE(table[kMountUsb]->options.empty());
    }
}

TEST_F(MountEntryTest, MountingTwiceOrUnmountingWhatIsNotMountedIsQuiet) {
    auto table = CreateMountTable(1);
    MountEntry& nand = *table[kMountNand];
    const char* dir = nullptr;
    EXPECT_EQ(Printed([&] { dir = nand.Mount(); }), "Mounted /mnt/nand/\n");
    EXPECT_STREQ(dir, "/mnt/nand/");
    EXPECT_EQ(Printed([&] { dir = nand.Mount(); }), "");
    EXPECT_STREQ(dir, "/mnt/nand/");
    EXPECT_EQ(Printed([&] { table[kMountUsb]->Unmount(); }), "");
    EXPECT_EQ(Printed([&] { nand.Unmount(); }), "Unmounting /mnt/nand/ ... Ok.\n");
    EXPECT_FALSE(nand.mounted);
}

TEST_F(MountEntryTest, FailuresSayWhatAndKeepTheRecord) {
    auto table = CreateMountTable(1);
    const char* dir = "x";
    EXPECT_EQ(Printed([&] { dir = table[kMountUsb]->Mount(); }), "Mount /mnt/usb/ failed.\n");
    EXPECT_EQ(dir, nullptr);
    EXPECT_FALSE(table[kMountUsb]->mounted);
    EXPECT_EQ(Printed([&] { dir = table[kMountBoot]->Mount(); }), "Mount /mnt/nand/boot/ failed.\n");

    table[kMountNand]->Mount();
    MakeDirs(root / "dev/mtdblock4/boot");
    testing::internal::CaptureStdout();
    table[kMountBoot]->Mount();
    testing::internal::GetCapturedStdout();
    // The boot partition inside the NAND keeps the NAND busy.
    EXPECT_EQ(Printed([&] { table[kMountNand]->Unmount(); }), "Unmounting /mnt/nand/ ... FAILED - 16!\n");
    EXPECT_TRUE(table[kMountNand]->mounted) << "a later Unmount tries again";
    EXPECT_EQ(Printed([&] {
                  table[kMountBoot]->Unmount();
                  table[kMountNand]->Unmount();
              }),
              "Unmounting /mnt/nand/boot/ ... Ok.\nUnmounting /mnt/nand/ ... Ok.\n");
}
