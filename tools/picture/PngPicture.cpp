#include "tools/picture/PngPicture.h"

#include <png.h>

#include <cstring>
#include <vector>

namespace picture {

bool ReadPng(const std::string& path, gui::Image* out, std::string* error) {
    png_image image;
    std::memset(&image, 0, sizeof(image));
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) {
        *error = path + ": " + image.message;
        return false;
    }
    // Read as bytes and put the words together here, so byte order plays no part.
    image.format = PNG_FORMAT_RGBA;
    std::vector<uint8_t> rgba(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, rgba.data(), 0, nullptr)) {
        *error = path + ": " + image.message;
        png_image_free(&image);
        return false;
    }
    out->width = static_cast<int32_t>(image.width);
    out->height = static_cast<int32_t>(image.height);
    out->pixels.resize(static_cast<size_t>(out->width) * out->height);
    for (size_t i = 0; i < out->pixels.size(); ++i) {
        const uint8_t* p = &rgba[i * 4];
        out->pixels[i] = static_cast<uint32_t>(p[3]) << 24 | static_cast<uint32_t>(p[0]) << 16 |
                         static_cast<uint32_t>(p[1]) << 8 | p[2];
    }
    return true;
}

bool WritePng(const std::string& path, const gui::Image& image) {
    if (image.width <= 0 || image.height <= 0)
        return false;
    std::vector<uint8_t> rgba;
    rgba.reserve(image.pixels.size() * 4);
    for (uint32_t c : image.pixels) {
        for (int shift : {16, 8, 0, 24})
            rgba.push_back(static_cast<uint8_t>(c >> shift));
    }
    png_image png;
    std::memset(&png, 0, sizeof(png));
    png.version = PNG_IMAGE_VERSION;
    png.width = static_cast<png_uint_32>(image.width);
    png.height = static_cast<png_uint_32>(image.height);
    png.format = PNG_FORMAT_RGBA;
    return png_image_write_to_file(&png, path.c_str(), 0, rgba.data(), 0, nullptr) != 0;
}

}  // namespace picture
