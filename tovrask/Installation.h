#pragma once

#include <string>

#include "tovrask/MountEntry.h"
#include "update/BundleReader.h"

namespace tovrask {

// What an update must do around the bundle reader so that it either completes or leaves the
// device where the next boot shows "Boot options": the media it installs onto, the marker, the
// boot configuration and the reboot decision.
//
// The marker: before the first entry is written, "/etc/skip-update" is renamed to
// "/etc/skip-update.held" (the NAND keeps the fact that it was there), and a marker the bundle
// carries is installed as "/etc/skip-update.bundle". Only when the extraction and the boot
// configuration are complete does one of them become "/etc/skip-update" again, as the update's
// last write. A cut anywhere before leaves no marker, and rerunning the bundle converges.
class Installation {
public:
    Installation(BundleReader& reader, MountEntry& nand, MountEntry& boot);

    // Mounts the NAND and the boot partition (making the boot folder when missing) and sets the
    // marker aside. False when a medium cannot be mounted or the marker cannot be set aside:
    // then nothing has been written.
    bool Begin();
    // After a complete extraction: rewrites "igep.ini" where needed, then puts the marker back;
    // unmounts both media. False: the update failed and the marker stays away.
    bool Finish();
    // A kernel was written: the device must boot it.
    bool WroteKernel() const;

private:
    bool SetMarkerAside(const std::string& nand);
    bool UpdateBootKeys(const std::string& boot);
    bool RestoreMarker(const std::string& nand);

    BundleReader& reader_;
    MountEntry& nand_;
    MountEntry& boot_;
};

}  // namespace tovrask
