#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace testsupport {

// An 8-bit RGB picture read from a PNG file.
struct PngFile {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;  // width * height * 3

    bool Load(const std::string& path);
    // 0xRRGGBB of a pixel.
    uint32_t At(int x, int y) const;
};

}  // namespace testsupport
