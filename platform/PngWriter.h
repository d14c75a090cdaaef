#pragma once

#include <cstdint>
#include <string>

namespace platform {

// Writes a picture held as RGB565 words (rows `strideBytes` apart) as an 8-bit RGB PNG. Each
// channel is widened by replicating its top bits, so white stays white.
bool WriteRgb565Png(const std::string& path, const uint8_t* pixels, int width, int height,
                    int strideBytes);

}  // namespace platform
