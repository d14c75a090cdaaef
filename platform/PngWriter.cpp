#include "platform/PngWriter.h"

#include <png.h>

#include <cstdio>
#include <cstring>
#include <vector>

namespace platform {

bool WriteRgb565Png(const std::string& path, const uint8_t* pixels, int width, int height,
                    int strideBytes) {
    if (width <= 0 || height <= 0) return false;
    FILE* out = std::fopen(path.c_str(), "wb");
    if (out == nullptr) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (png == nullptr || info == nullptr) {
        png_destroy_write_struct(&png, &info);
        std::fclose(out);
        return false;
    }
    std::vector<png_byte> row(static_cast<size_t>(width) * 3);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(out);
        return false;
    }
    png_init_io(png, out);
    png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < height; ++y) {
        const uint8_t* src = pixels + static_cast<size_t>(y) * strideBytes;
        for (int x = 0; x < width; ++x) {
            uint16_t p;
            std::memcpy(&p, src + x * 2, 2);
            const unsigned r = (p >> 11) & 0x1F, g = (p >> 5) & 0x3F, b = p & 0x1F;
            row[x * 3 + 0] = static_cast<png_byte>((r << 3) | (r >> 2));
            row[x * 3 + 1] = static_cast<png_byte>((g << 2) | (g >> 4));
            row[x * 3 + 2] = static_cast<png_byte>((b << 3) | (b >> 2));
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return std::fclose(out) == 0;
}

}  // namespace platform
