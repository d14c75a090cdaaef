#pragma once

#include <memory>
#include <string>
#include <vector>

// One file system the boot manager mounts itself. `mounted` is the program's own record:
// mounting twice or unmounting what it did not mount does nothing.
class MountEntry {
public:
    MountEntry(const std::string& device, const std::string& directory, const std::string& fsType);

    // The directory, or null when the kernel refused.
    const char* Mount();
    void Unmount();

    std::string device;
    std::string directory;  // ends with "/"
    std::string fsType;
    std::string options;  // always empty
    bool mounted = false;
};

// The four file systems, in the order the boot state machine indexes them.
enum MountIndex { kMountBoot = 0, kMountMaps = 1, kMountNand = 2, kMountUsb = 3 };

// The boot partition and the maps storage on the SD card, the NAND root (on /dev/mtdblock2 on
// an IGEP board, cpuType 2, else /dev/mtdblock4) and the USB medium.
std::vector<std::unique_ptr<MountEntry>> CreateMountTable(int cpuType);
