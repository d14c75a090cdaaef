#include "tools/picture/Encoding.h"

#include <cstdio>

#include "gui/engine/Colour.h"
#include "tools/picture/Packets.h"

namespace picture {

namespace {

void Put16(std::vector<uint8_t>& out, unsigned v) {
    out.push_back(static_cast<uint8_t>(v & 0xFF));
    out.push_back(static_cast<uint8_t>(v >> 8 & 0xFF));
}

void Put32(std::vector<uint8_t>& out, uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

}  // namespace

std::vector<uint16_t> ToRgb565(const gui::Image& image) {
    std::vector<uint16_t> out;
    out.reserve(image.pixels.size());
    for (uint32_t argb : image.pixels)
        out.push_back(gui::ToPixel(argb));
    return out;
}

std::vector<uint16_t> EncodePixmap(const std::vector<uint16_t>& pixels) {
    const std::vector<uint32_t> wide(pixels.begin(), pixels.end());
    std::vector<uint16_t> out;
    // Units are 16-bit words: a header, one word a pixel.
    for (const Packet& p : PlanPackets(wide, 1, 1)) {
        if (p.run) {
            out.push_back(static_cast<uint16_t>(0x8000 | p.count));
            out.push_back(pixels[p.start]);
        } else {
            out.push_back(static_cast<uint16_t>(p.count));
            out.insert(out.end(), pixels.begin() + p.start, pixels.begin() + p.start + p.count);
        }
    }
    return out;
}

std::vector<uint8_t> EncodeImageFile(const gui::Image& image) {
    std::vector<uint8_t> out = {'Q', 'I', 'M', '3', '2', '.', '1', '\0'};
    Put16(out, 1);
    Put16(out, static_cast<unsigned>(image.width));
    Put16(out, static_cast<unsigned>(image.height));
    std::vector<uint32_t> pixels = image.pixels;
    for (uint32_t& p : pixels) {
        if (p >> 24 == 0)
            p = 0;
    }
    // Units are bytes: a 2-byte header, 4 bytes a pixel.
    for (const Packet& p : PlanPackets(pixels, 2, 4)) {
        Put16(out, static_cast<unsigned>(p.count) | (p.run ? 0x8000 : 0));
        for (size_t i = 0; i < (p.run ? 1 : p.count); ++i)
            Put32(out, pixels[p.start + i]);
    }
    return out;
}

std::string PixmapDefinition(const std::string& name, const std::string& comment, int32_t width,
                             int32_t height, const std::vector<uint16_t>& words) {
    std::string s = comment;
    char line[160];
    std::snprintf(line, sizeof(line), "// %d x %d pixels in %zu words.\n", width, height,
                  words.size());
    s += line;
    const std::string data = name + "Data";
    s += "const uint16_t " + data + "[] = {\n";
    if (words.empty())
        s += "    0x0000,\n";  // no pixels: one empty literal, as C++ has no empty arrays
    for (size_t i = 0; i < words.size(); ++i) {
        std::snprintf(line, sizeof(line), "%s0x%04X,", i % 12 == 0 ? "    " : " ", words[i]);
        s += line;
        if (i % 12 == 11 || i + 1 == words.size())
            s += "\n";
    }
    s += "};\n";
    std::snprintf(line, sizeof(line), "extern const PackedPixmap %s = {\n    %d, %d, ",
                  name.c_str(), width, height);
    s += line;
    s += data + ", sizeof(" + data + ") / sizeof(" + data + "[0])};\n";
    return s;
}

std::string PixmapSourceFile(const std::string& head, const std::string& include,
                             const std::string& definitions) {
    return head + "#include \"" + include + "\"\n\nnamespace gui {\n\n// clang-format off\n" +
           definitions + "// clang-format on\n\n}  // namespace gui\n";
}

}  // namespace picture
