#include "tests/support/PngFile.h"

#include <png.h>

#include <cstring>

namespace testsupport {

bool PngFile::Load(const std::string& path) {
    png_image image;
    std::memset(&image, 0, sizeof(image));
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return false;
    image.format = PNG_FORMAT_RGB;
    rgb.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) {
        png_image_free(&image);
        return false;
    }
    width = static_cast<int>(image.width);
    height = static_cast<int>(image.height);
    return true;
}

uint32_t PngFile::At(int x, int y) const {
    const uint8_t* p = rgb.data() + (static_cast<size_t>(y) * width + x) * 3;
    return static_cast<uint32_t>(p[0]) << 16 | p[1] << 8 | p[2];
}

}  // namespace testsupport
