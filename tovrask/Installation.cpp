#include "tovrask/Installation.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstring>

#include "file/FileC.h"
#include "file/ReadAll.h"
#include "file/ReplacingFile.h"
#include "platform/FileSystem.h"
#include "platform/System.h"

namespace tovrask {

namespace {

// On the NAND root, relative to its mount point.
const char* const kMarker = "etc/skip-update";
const char* const kHeldMarker = "etc/skip-update.held";
const char* const kBundleMarker = "etc/skip-update.bundle";

constexpr mode_t kBootFolderMode = 0750;

// The NAND paths are the mount point and a text starting with "/", as everywhere on the device.
std::string OnNand(const std::string& nand, const char* relative) {
    return nand + "/" + relative;
}

bool Exists(const std::string& path) {
    struct stat info {};
    return platform::Lstat(path, &info) == 0;
}

// "igep.ini" is the text of "igep.pub" followed by that of "igep.pri", copied line by line
// through a 1024-byte buffer. False when "igep.pub" cannot be read.
bool ComposeBootConfig(const std::string& boot, std::string* text) {
    file::FileC part;
    char line[1024];
    for (const char* name : {"igep.pub", "igep.pri"}) {
        if (!part.Open(boot + name, "r"))
            return std::strcmp(name, "igep.pri") == 0;
        while (part.ReadLine(line, sizeof(line)) != nullptr)
            text->append(line, std::strlen(line));
    }
    return true;
}

bool FileHolds(const std::string& path, const std::string& text) {
    std::string contents;
    return file::ReadAll(path, text.size(), &contents) && contents == text;
}

}  // namespace

Installation::Installation(BundleReader& reader, MountEntry& nand, MountEntry& boot)
    : reader_(reader), nand_(nand), boot_(boot) {}

bool Installation::Begin() {
    // Installing into a bare mount point would write onto the running system.
    const char* nand = nand_.Mount();
    if (nand == nullptr)
        return false;
    const std::string& folder = boot_.directory;
    struct stat info {};
    const bool made = platform::Stat(folder, &info) != 0;
    if (made) {
        std::printf("Mount folder does not exist, creating.\n");
        platform::MakeDirectory(folder, kBootFolderMode);
    }
    // Without its boot partition a kernel would land in the NAND's own folder beneath the mount
    // point, where the boot loader never looks. An update that does not start leaves the NAND
    // as it was.
    if (boot_.Mount() == nullptr) {
        if (made)
            platform::Remove(folder);
        return false;
    }
    if (!SetMarkerAside(nand))
        return false;
    reader_.HoldBack(kMarker, kBundleMarker, {kHeldMarker});
    return true;
}

bool Installation::SetMarkerAside(const std::string& nand) {
    const std::string marker = OnNand(nand, kMarker);
    if (Exists(marker) && platform::Rename(marker, OnNand(nand, kHeldMarker)) != 0)
        return false;
    // A bundle's marker left by an interrupted update belongs to that update, not to this one.
    platform::Remove(OnNand(nand, kBundleMarker));
    // The marker must be gone from the medium before the first entry is written.
    platform::SyncDirectory(OnNand(nand, "etc"));
    return !Exists(marker);
}

bool Installation::Finish() {
    const char* nand = nand_.Mount();
    const char* boot = nand != nullptr ? boot_.Mount() : nullptr;
    const bool done = boot != nullptr && UpdateBootKeys(boot) && RestoreMarker(nand);
    boot_.Unmount();
    nand_.Unmount();
    return done;
}

bool Installation::UpdateBootKeys(const std::string& boot) {
    // A new public key rewrites the configuration. So does a key found unchanged whose
    // configuration does not match it yet: an earlier run wrote the key and was cut before this.
    const bool written = reader_.WasExtracted("boot/igep.pub");
    if (!written && !reader_.HasInPlace("boot/igep.pub"))
        return true;
    std::string text;
    // Without a readable public key the configuration is kept: an emptied igep.ini would leave
    // the device without its boot configuration.
    const bool composed = ComposeBootConfig(boot, &text);
    const std::string ini = boot + "igep.ini";
    if (!written && (!composed || FileHolds(ini, text)))
        return true;
    std::printf("igep.pub has changed.\n");
    if (!composed)
        return true;
    file::ReplacingFile out;
    const int n = static_cast<int>(text.size());
    if (!out.Open(ini) || out.Write(text.data(), n) != n)
        return false;
    return out.Commit();
}

bool Installation::RestoreMarker(const std::string& nand) {
    // Everything the update wrote is on the media before the marker says it is complete.
    platform::Current().Sync();
    const std::string marker = OnNand(nand, kMarker);
    const std::string held = OnNand(nand, kHeldMarker);
    const std::string fromBundle = OnNand(nand, kBundleMarker);
    if (Exists(fromBundle)) {
        // The bundle's own marker replaces the one set aside; the rename stays the last write.
        platform::Remove(held);
        if (platform::Rename(fromBundle, marker) != 0)
            return false;
    } else if (Exists(held)) {
        if (platform::Rename(held, marker) != 0)
            return false;
    }
    platform::SyncDirectory(OnNand(nand, "etc"));
    return true;
}

bool Installation::WroteKernel() const {
    return reader_.WasExtracted("boot/zImage") || reader_.WasExtracted("boot/uImage");
}

}  // namespace tovrask
