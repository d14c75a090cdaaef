#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <atomic>
#include <cstdio>
#include <thread>

#include "platform/HostMounts.h"
#include "platform/HostShell.h"
#include "tests/support/TempDir.h"

using testsupport::Exists;
using testsupport::MakeDirs;
using testsupport::ReadFile;
using testsupport::TempDir;
using testsupport::WriteFile;

class HostMountsTest : public ::testing::Test {
protected:
    HostMountsTest() : mounts(root.Path()) {
        MakeDirs(root / "dev/mtdblock4/boot");
        MakeDirs(root / "dev/mmcblk0p1");
        MakeDirs(root / "dev/sda1");
        MakeDirs(root / "mnt/nand");
        MakeDirs(root / "mnt/usb");
        WriteFile(root / "dev/mtdblock4/etc-file", "nand");
        WriteFile(root / "dev/mmcblk0p1/zImage", "kernel");
        WriteFile(root / "dev/event-like", "");
    }

    int Mount(const char* device, const char* point) {
        errno = 0;
        return mounts.Mount(device, point) == 0 ? 0 : errno;
    }
    int Unmount(const char* point) {
        errno = 0;
        return mounts.Unmount(point) == 0 ? 0 : errno;
    }

    TempDir root;
    platform::HostMounts mounts;
};

TEST_F(HostMountsTest, MountingBindsTheMediumAndTheLongestMountPointWins) {
    EXPECT_EQ(mounts.Translate("/mnt/nand//etc-file", true), root / "mnt/nand/etc-file");
    ASSERT_EQ(Mount("/dev/mtdblock4", "/mnt/nand/"), 0);
    EXPECT_EQ(mounts.Translate("/mnt/nand//etc-file", true), root / "dev/mtdblock4/etc-file");
    ASSERT_EQ(Mount("/dev/mmcblk0p1", "/mnt/nand/boot/"), 0);
    EXPECT_EQ(ReadFile(mounts.Translate("/mnt/nand/boot/zImage", true)), "kernel");
    EXPECT_EQ(mounts.Translate("/proc/cmdline", true), root / "proc/cmdline");
}

TEST_F(HostMountsTest, ErrorsAreTheKernels) {
    EXPECT_EQ(Mount("/dev/sdb1", "/mnt/usb/"), ENOENT);          // no medium
    EXPECT_EQ(Mount("/dev/event-like", "/mnt/usb/"), ENOTBLK);
    EXPECT_EQ(Mount("/dev/sda1", "/mnt/missing/"), ENOENT);      // no mount point
    EXPECT_EQ(Mount("/dev/mmcblk0p1", "/mnt/nand/boot/"), ENOENT);  // only inside the NAND
    EXPECT_EQ(Unmount("/mnt/usb/"), EINVAL);                     // not mounted
    ASSERT_EQ(Mount("/dev/sda1", "/mnt/usb/"), 0);
    EXPECT_EQ(Mount("/dev/sda1", "/mnt/usb/"), EBUSY);
    EXPECT_EQ(Mount("/dev/mtdblock4", "/mnt/usb"), EBUSY);

    ASSERT_EQ(Mount("/dev/mtdblock4", "/mnt/nand/"), 0);
    ASSERT_EQ(Mount("/dev/mmcblk0p1", "/mnt/nand/boot/"), 0);
    EXPECT_EQ(Unmount("/mnt/nand/"), EBUSY);  // the boot partition is mounted inside it
    EXPECT_EQ(Unmount("/mnt/nand/boot/"), 0);

    FILE* open = std::fopen(mounts.Translate("/mnt/nand/etc-file", true).c_str(), "r");
    ASSERT_NE(open, nullptr);
    mounts.StreamOpened(open, "/mnt/nand/etc-file");
    EXPECT_EQ(Unmount("/mnt/nand/"), EBUSY);  // a file on it is still open
    mounts.StreamClosed(open);
    std::fclose(open);
    EXPECT_EQ(Unmount("/mnt/nand/"), 0);
    EXPECT_EQ(Unmount("/mnt/usb/"), 0);
}

TEST_F(HostMountsTest, LinksOnTheMediaStayInsideTheRoot) {
    ASSERT_EQ(Mount("/dev/mtdblock4", "/mnt/nand/"), 0);
    ASSERT_EQ(::symlink("/etc/passwd", (root / "dev/mtdblock4/passwd").c_str()), 0);
    ASSERT_EQ(::symlink("../../../../../..", (root / "dev/mtdblock4/up").c_str()), 0);
    ASSERT_EQ(::symlink("/mnt/nand/etc-file", (root / "dev/mtdblock4/self").c_str()), 0);
    EXPECT_EQ(mounts.Translate("/mnt/nand/passwd", true), root / "etc/passwd");
    EXPECT_EQ(mounts.Translate("/mnt/nand/passwd", false), root / "dev/mtdblock4/passwd");
    EXPECT_EQ(mounts.Translate("/mnt/nand/up/etc/shadow", true), root / "etc/shadow");
    EXPECT_EQ(mounts.Translate("/mnt/nand/self", true), root / "dev/mtdblock4/etc-file");
}

TEST_F(HostMountsTest, ShellCommandsNameOnlyTheRoot) {
    platform::HostShell shell(mounts);
    ASSERT_EQ(Mount("/dev/sda1", "/mnt/usb/"), 0);
    EXPECT_EQ(shell.Rewrite("flash_eraseall /dev/mtd4"), "flash_eraseall " + (root / "dev/mtd4"));
    EXPECT_EQ(shell.Rewrite("rm -rf /mnt/usb//*"), "rm -rf " + (root / "dev/sda1/*"));

    MakeDirs(root / "sbin");
    WriteFile(root / "sbin/flash_eraseall", "#!/bin/sh\necho \"$@\" > \"$1.erased\"\nexit 3\n");
    ::chmod((root / "sbin/flash_eraseall").c_str(), 0755);
    const int status = shell.Run("flash_eraseall /dev/mtd4");
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 3);
    EXPECT_TRUE(Exists(root / "dev/mtd4.erased"));
    // Programs of the workstation are not on the device's path.
    const int missing = shell.Run("ls /");
    EXPECT_EQ(WEXITSTATUS(missing), 127);
}

// The key thread opens its device while the main loop mounts and unmounts the media: the table
// must not change under a translation (ThreadSanitizer builds report it otherwise).
TEST_F(HostMountsTest, TranslatingWhileTheMainLoopMounts) {
    std::atomic<bool> done{false};
    std::thread keys([&] {
        while (!done.load()) {
            const std::string path = mounts.Translate("/dev/event2", true);
            EXPECT_EQ(path, root / "dev/event2");
        }
    });
    for (int i = 0; i < 200; ++i) {
        ASSERT_EQ(Mount("/dev/mtdblock4", "/mnt/nand/"), 0);
        ASSERT_EQ(Mount("/dev/sda1", "/mnt/usb/"), 0);
        ASSERT_EQ(Unmount("/mnt/usb/"), 0);
        ASSERT_EQ(Unmount("/mnt/nand/"), 0);
    }
    done = true;
    keys.join();
}
