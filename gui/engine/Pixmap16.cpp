#include "gui/engine/Pixmap16.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace gui {

namespace {

// Whether a picture has pixels and exactly as many as its size says.
bool Holds(int32_t w, int32_t h, size_t count) {
    return w > 0 && h > 0 && count == static_cast<size_t>(w) * static_cast<size_t>(h);
}

}  // namespace

Pixmap16::Pixmap16(const Size& size) : width(size.width), height(size.height) {
    if (width > 0 && height > 0)
        pixels.resize(static_cast<size_t>(width) * height);
}

Pixmap16::Pixmap16(const Size& size, const uint16_t* data, size_t words, bool compressed)
    : Pixmap16(size) {
    if (data == nullptr || pixels.empty())
        return;
    if (compressed) {
        Decode(data, words);
    } else {
        std::copy(data, data + std::min(words, pixels.size()), pixels.begin());
    }
}

Pixmap16::Pixmap16(const PackedPixmap& packed)
    : Pixmap16(Size{packed.width, packed.height}, packed.data, packed.words, true) {}

void Pixmap16::Decode(const uint16_t* data, size_t words) {
    const uint16_t* in = data;
    const uint16_t* const end = data + words;
    auto out = pixels.begin();
    while (out != pixels.end() && in != end) {
        const uint16_t header = *in++;
        const size_t room = static_cast<size_t>(pixels.end() - out);
        const size_t count = std::min<size_t>(header & 0x7FFF, room);
        if (header & 0x8000) {
            if (in == end)
                break;
            out = std::fill_n(out, count, *in++);
        } else {
            const size_t copied = std::min(count, static_cast<size_t>(end - in));
            out = std::copy(in, in + copied, out);
            in += copied;
        }
    }
}

void Pixmap16::Fill(Pixel pixel) {
    std::fill(pixels.begin(), pixels.end(), pixel);
}

bool Pixmap16::Fits(const Point& origin, int32_t w, int32_t h, const char* tooBig) const {
    // A negative origin would reach in front of the first row or wrap into the row before.
    if (origin.x < 0 || origin.y < 0) {
        std::printf("Invalid origin.\n");
        return false;
    }
    if (static_cast<int64_t>(origin.x) + w > width || static_cast<int64_t>(origin.y) + h > height) {
        std::printf("%s\n", tooBig);
        return false;
    }
    return true;
}

bool Pixmap16::DrawImage(const Point& origin, const Image& image) {
    if (!Fits(origin, image.width, image.height, "Image does not fit into pixmap."))
        return false;
    if (!Holds(image.width, image.height, image.pixels.size()) ||
        !Holds(width, height, pixels.size())) {
        return true;  // an empty image: nothing to draw
    }
    for (int32_t r = 0; r < image.height; ++r) {
        const uint32_t* src = image.pixels.data() + static_cast<size_t>(r) * image.width;
        Pixel* dst = pixels.data() + static_cast<size_t>(origin.y + r) * width + origin.x;
        for (int32_t c = 0; c < image.width; ++c)
            dst[c] = Blend(src[c], dst[c]);
    }
    return true;
}

bool Pixmap16::DrawPixmap(const Point& origin, const Pixmap16& pixmap) {
    if (!Fits(origin, pixmap.width, pixmap.height, "Given pixmap does not fit into this pixmap."))
        return false;
    if (!Holds(pixmap.width, pixmap.height, pixmap.pixels.size()) ||
        !Holds(width, height, pixels.size())) {
        return true;
    }
    for (int32_t r = 0; r < pixmap.height; ++r) {
        std::memcpy(pixels.data() + static_cast<size_t>(origin.y + r) * width + origin.x,
                    pixmap.pixels.data() + static_cast<size_t>(r) * pixmap.width,
                    static_cast<size_t>(pixmap.width) * sizeof(Pixel));
    }
    return true;
}

}  // namespace gui
