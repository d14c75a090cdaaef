#include "tovrask/MountEntry.h"

#include <cerrno>
#include <cstdio>

#include "platform/System.h"

MountEntry::MountEntry(const std::string& dev, const std::string& dir, const std::string& type)
    : device(dev), directory(dir), fsType(type) {}

const char* MountEntry::Mount() {
    if (mounted) return directory.c_str();
    if (platform::Current().Mount(device.c_str(), directory.c_str(), fsType.c_str(), 0, options.c_str()) != 0) {
        std::printf("Mount %s failed.\n", directory.c_str());
        return nullptr;
    }
    std::printf("Mounted %s\n", directory.c_str());
    mounted = true;
    return directory.c_str();
}

void MountEntry::Unmount() {
    if (!mounted) return;
    std::printf("Unmounting %s ... ", directory.c_str());
    if (platform::Current().Unmount(directory.c_str()) != 0) {
        std::printf("FAILED - %d!\n", errno);
        return;
    }
    std::printf("Ok.\n");
    mounted = false;
}

std::vector<std::unique_ptr<MountEntry>> CreateMountTable(int cpuType) {
    std::vector<std::unique_ptr<MountEntry>> table;
    table.push_back(std::make_unique<MountEntry>("/dev/mmcblk0p1", "/mnt/nand/boot/", "vfat"));
    table.push_back(std::make_unique<MountEntry>("/dev/mmcblk0p2", "/mnt/maps/", "vfat"));
    table.push_back(std::make_unique<MountEntry>(cpuType == 2 ? "/dev/mtdblock2" : "/dev/mtdblock4", "/mnt/nand/",
                                                 "yaffs2"));
    table.push_back(std::make_unique<MountEntry>("/dev/sda1", "/mnt/usb/", "vfat"));
    return table;
}
