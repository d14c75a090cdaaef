#include "update/DeviceNumber.h"

uint64_t MakeDeviceNumber(uint32_t major, uint32_t minor) {
    const uint32_t low = (minor & 0xFFu) | ((major & 0xFFFu) << 8) | ((minor & ~0xFFu) << 12);
    const uint32_t high = ((minor & ~0xFFu) >> 20) | (major & ~0xFFFu);
    return (static_cast<uint64_t>(high) << 32) | low;
}

uint32_t DeviceMajor(uint64_t device) {
    return static_cast<uint32_t>(((device >> 8) & 0xFFFu) | ((device >> 32) & ~0xFFFu));
}

uint32_t DeviceMinor(uint64_t device) {
    return static_cast<uint32_t>((device & 0xFFu) | ((device >> 12) & 0xFFFFFF00u));
}
