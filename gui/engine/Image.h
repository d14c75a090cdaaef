#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace gui {

// A 32-bit picture with alpha (0xAARRGGBB pixels, row-major). Empty: -1 x -1, no pixels.
class Image {
public:
    // Replaces the contents with a "QIM32.1" image file's. A failed load leaves the image as it
    // was when the file could not be opened or was not an image, and empty when its pixels were
    // bad; the size always matches the pixels.
    bool Load(const std::string& path);

    int32_t width = -1;
    int32_t height = -1;
    std::vector<uint32_t> pixels;

private:
    void MakeEmpty();
};

}  // namespace gui
