#pragma once

#include <cstdint>

// The service access codes typed into the "Confirm reset" dialog, as hexadecimal digits. Kept in
// this one place; each is distinct and at most five digits long.
namespace access_codes {

constexpr uint32_t kReset = 0x7C3E9;        // erase the NAND partition
constexpr uint32_t kShell = 0x51A2D;        // a shell on the console
constexpr uint32_t kRepartition = 0x2B8F4;  // the repartitioning command
constexpr uint32_t kCleanup = 0x6D0C7;      // delete everything on the maps storage
constexpr uint32_t kAccepted1 = 0x19E53;    // accepted; nothing happens
constexpr uint32_t kAccepted2 = 0x3A4B6;

}  // namespace access_codes
