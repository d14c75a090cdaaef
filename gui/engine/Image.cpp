#include "gui/engine/Image.h"

#include <cstdio>
#include <limits>
#include <new>

#include "file/FileC.h"

namespace gui {

namespace {

constexpr uint16_t kRunBit = 0x8000;
constexpr size_t kLiteralChunk = 1024;  // pixels read at a time from a literal packet

bool ReadU16(file::FileC& in, uint16_t* v) {
    uint8_t b[2];
    if (in.Read(b, 2) != 2) return false;
    *v = static_cast<uint16_t>(b[0] | b[1] << 8);
    return true;
}

uint32_t U32(const uint8_t* b) {
    return static_cast<uint32_t>(b[0]) | static_cast<uint32_t>(b[1]) << 8 | static_cast<uint32_t>(b[2]) << 16 |
           static_cast<uint32_t>(b[3]) << 24;
}

// Decodes run and literal packets until `count` pixels are written; false on a short file or a
// packet that would run past the last pixel (nothing is written beyond it).
bool DecodePackets(file::FileC& in, uint32_t* out, size_t count) {
    size_t done = 0;
    uint8_t bytes[kLiteralChunk * 4];
    while (done < count) {
        uint16_t header;
        if (!ReadU16(in, &header)) return false;
        const size_t n = header & 0x7FFF;
        if (header & kRunBit) {
            if (n > count - done) {
                std::printf("Image out of boundary error 1.\n");
                return false;
            }
            if (in.Read(bytes, 4) != 4) return false;
            const uint32_t pixel = U32(bytes);
            for (size_t i = 0; i < n; ++i) out[done++] = pixel;
        } else {
            if (n > count - done) {
                std::printf("Image out of boundary error 2.\n");
                return false;
            }
            for (size_t left = n; left > 0;) {
                const size_t chunk = left < kLiteralChunk ? left : kLiteralChunk;
                if (in.Read(bytes, static_cast<int>(chunk * 4)) != static_cast<int>(chunk * 4)) return false;
                for (size_t i = 0; i < chunk; ++i) out[done++] = U32(bytes + i * 4);
                left -= chunk;
            }
        }
    }
    return true;
}

}  // namespace

void Image::MakeEmpty() {
    width = height = -1;
    pixels.clear();
}

bool Image::Load(const std::string& path) {
    file::FileC in;
    if (!in.Open(path, "r")) {
        std::printf("Failed to open the image %s file.\n", path.c_str());
        return false;
    }
    if (!in.ReadMagic("QIM32.1", 8) || in.ReadVersion("Image", 1) == 0) return false;
    uint16_t w, h;
    if (!ReadU16(in, &w) || !ReadU16(in, &h)) {
        MakeEmpty();
        return false;
    }
    const uint64_t count = static_cast<uint64_t>(w) * h;
    // The smallest packet, a run, makes 32767 pixels of 6 bytes: a file too short for its size
    // is refused before any memory is taken for it.
    const int64_t rest = in.Size() - in.Tell();
    if (rest < 0 || count > static_cast<uint64_t>(rest / 6 + 1) * 32767) {
        MakeEmpty();
        return false;
    }
    // The same size keeps the pixel array, as long as it really holds that many pixels.
    if (w != width || h != height || pixels.size() != count) {
        // A new size: new memory. An image too large for this machine fails the load.
        MakeEmpty();
        if (count > std::numeric_limits<size_t>::max() / sizeof(uint32_t)) return false;
        try {
            pixels.resize(static_cast<size_t>(count));
        } catch (const std::bad_alloc&) {
            MakeEmpty();
            return false;
        }
    }
    width = w;
    height = h;
    if (!DecodePackets(in, pixels.data(), static_cast<size_t>(count))) {
        MakeEmpty();
        return false;
    }
    return true;
}

}  // namespace gui
