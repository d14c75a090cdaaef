#pragma once

#include <cstdint>

// Device numbers as the C library forms them (64 bits: 12 bits of major and 8 of minor in the
// low word as the old 16-bit layout had them, the rest above), so that a bundle made on one
// machine gives the same nodes on the device.
uint64_t MakeDeviceNumber(uint32_t major, uint32_t minor);
uint32_t DeviceMajor(uint64_t device);
uint32_t DeviceMinor(uint64_t device);
