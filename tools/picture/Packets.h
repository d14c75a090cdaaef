#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace picture {

// One packet of a run-length encoding: a run repeats pixels[start] count times, a literal copies
// pixels[start .. start + count).
struct Packet {
    bool run;
    size_t start;
    size_t count;
};

// The most pixels one packet carries: the count has 15 bits.
constexpr size_t kMaxPacket = 0x7FFF;

// Splits pixels into packets of the smallest total size, where every packet costs headerUnits
// plus pixelUnits per pixel it stores (one for a run). Exact, in one pass: each pixel keeps the
// cheapest encoding of everything before it.
std::vector<Packet> PlanPackets(const std::vector<uint32_t>& pixels, size_t headerUnits,
                                size_t pixelUnits);

}  // namespace picture
