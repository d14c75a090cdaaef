#include "update/HeadChecksum.h"

#include <array>

namespace {

constexpr std::array<uint32_t, 256> MakeTable() {
    std::array<uint32_t, 256> table{};
    for (uint32_t i = 0; i < 256; ++i) {
        uint32_t c = i;
        for (int bit = 0; bit < 8; ++bit)
            c = (c & 1) != 0 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[i] = c;
    }
    return table;
}

constexpr std::array<uint32_t, 256> kTable = MakeTable();

}  // namespace

uint32_t HeadChecksum(const void* data, size_t length) {
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    uint32_t reg = 0x0FFFFFFFu;
    for (size_t i = 0; i < length; ++i)
        reg = kTable[(reg ^ bytes[i]) & 0xFF] ^ (reg >> 8);
    return reg;
}
