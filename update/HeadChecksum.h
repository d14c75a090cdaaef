#pragma once

#include <cstddef>
#include <cstdint>

// The checksum over the first 60 bytes of a bundle head: the reflected CRC-32 table of the
// polynomial 0xEDB88320, but the register starts at 0x0FFFFFFF and is not inverted at the end.
// Bundles in the field carry it in this form, so it must stay as it is.
uint32_t HeadChecksum(const void* data, size_t length);
