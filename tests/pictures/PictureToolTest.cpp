#include <gtest/gtest.h>

#include "gui/engine/Image.h"
#include "platform/TargetSystem.h"
#include <png.h>

#include <cstring>
#include <string>
#include <vector>

#include "gui/engine/Pixmap16.h"
#include "tests/support/Subprocess.h"
#include "tests/support/TempDir.h"
#include "tools/picture/Encoding.h"

namespace {

using Words = std::vector<uint16_t>;

// Every packet of pixmap data with its count; fails on a packet that runs past the data.
std::vector<size_t> PacketCounts(const Words& data) {
    std::vector<size_t> counts;
    for (size_t i = 0; i < data.size();) {
        const size_t count = data[i] & 0x7FFF;
        i += 1 + ((data[i] & 0x8000) ? 1 : count);
        EXPECT_LE(i, data.size()) << "packet past the data";
        counts.push_back(count);
    }
    return counts;
}

// A picture that looks like artwork: runs of all lengths between lone pixels.
Words Mixed(size_t n) {
    Words w;
    uint32_t seed = 12345;
    while (w.size() < n) {
        seed = seed * 1103515245 + 12345;
        const size_t run = (seed >> 16) % 7 == 0 ? 1 + (seed >> 8) % 40 : 1;
        w.insert(w.end(), run, static_cast<uint16_t>((seed >> 20) % 5));
    }
    w.resize(n);
    return w;
}

Words Counting(size_t n) {
    Words w(n);
    for (size_t i = 0; i < n; ++i)
        w[i] = static_cast<uint16_t>(i);
    return w;
}

constexpr uint16_t A = 0xF800, B = 0x07E0, C = 0x001F, D = 0xFFFF;

TEST(PixmapEncoder, DecodesBackAndIsAsSmallAsThePacketsAllow) {
    struct Case {
        const char* what;
        Words pixels;
        size_t words;  // the smallest encoding; 0: not checked
    };
    const Case cases[] = {
        {"one pixel", {A}, 2},
        {"a pair", {A, A}, 2},
        {"all different", {A, B, C}, 4},
        {"run then literal", {A, A, A, B, C, D}, 6},
        {"run of 4 inside", {A, B, B, B, B, C}, 6},
        {"longer than a packet", Words(40000, D), 4},
        {"literal longer than a packet", Counting(32768), 32770},
        {"artwork", Mixed(20000), 0},
    };
    for (const Case& c : cases) {
        const Words data = picture::EncodePixmap(c.pixels);
        if (c.words != 0) {
            EXPECT_EQ(data.size(), c.words) << c.what;
        }
        for (size_t count : PacketCounts(data))
            EXPECT_LE(count, 0x7FFFu) << c.what;
        // As a single row and folded into rows of 7: packets cross rows freely.
        for (int32_t width : {static_cast<int32_t>(c.pixels.size()), int32_t{7}}) {
            if (c.pixels.size() % width != 0)
                continue;
            const int32_t height = static_cast<int32_t>(c.pixels.size() / width);
            const gui::Pixmap16 p(gui::Size{width, height}, data.data(), data.size(), true);
            EXPECT_EQ(p.pixels, c.pixels) << c.what << ", " << width << " wide";
        }
    }
}

struct Argb {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;
};

uint32_t Get(const std::string& s, size_t at, int bytes) {
    uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = v << 8 | static_cast<uint8_t>(s[at + i]);
    return v;
}

// A reader of "QIM32.1" files of its own, so that the encoder is checked against the format and
// not against itself; fails the test on anything malformed.
Argb DecodeImageFile(const std::string& file) {
    Argb image;
    EXPECT_GE(file.size(), 14u);
    if (file.size() < 14)
        return image;
    EXPECT_EQ(file.substr(0, 8), std::string("QIM32.1", 8));
    EXPECT_EQ(Get(file, 8, 2), 1u);
    image.width = static_cast<int>(Get(file, 10, 2));
    image.height = static_cast<int>(Get(file, 12, 2));
    const size_t total = static_cast<size_t>(image.width) * image.height;
    size_t at = 14;
    while (image.pixels.size() < total && at + 2 <= file.size()) {
        const uint32_t h = Get(file, at, 2);
        const size_t count = h & 0x7FFF;
        at += 2;
        const size_t stored = (h & 0x8000) ? 1 : count;
        if (at + stored * 4 > file.size() || image.pixels.size() + count > total) {
            ADD_FAILURE() << "packet at " << at - 2 << " overruns";
            return image;
        }
        for (size_t i = 0; i < count; ++i)
            image.pixels.push_back(Get(file, at + ((h & 0x8000) ? 0 : i) * 4, 4));
        at += stored * 4;
    }
    EXPECT_EQ(image.pixels.size(), total);
    EXPECT_EQ(at, file.size()) << "bytes after the last pixel";
    return image;
}

TEST(ImageFileEncoder, WritesPacketsThatDecodeToThePixels) {
    struct Case {
        const char* what;
        int width, height;
        std::vector<uint32_t> pixels;
        std::vector<uint32_t> stored;  // empty: the pixels themselves
        size_t packetBytes;            // 0: not checked
    };
    const Case cases[] = {
        {"a pair is a run", 3, 1, {0xFF0000FF, 0xFF0000FF, 0x80FFFFFF}, {}, 6 + 6},
        {"alternating", 2, 2, {1u << 24, 2u << 24, 1u << 24, 2u << 24}, {}, 2 + 16},
        {"transparent is stored as 0", 2, 1, {0x00FFFFFF, 0x00123456}, {0, 0}, 6},
        {"run across rows", 4, 2, std::vector<uint32_t>(8, 0xFF0000FF), {}, 6},
        {"longer than a packet", 200, 200, std::vector<uint32_t>(40000, 0xFFFFFFFF), {}, 12},
    };
    for (const Case& c : cases) {
        gui::Image image;
        image.width = c.width;
        image.height = c.height;
        image.pixels = c.pixels;
        const std::vector<uint8_t> bytes = picture::EncodeImageFile(image);
        const Argb back = DecodeImageFile(std::string(bytes.begin(), bytes.end()));
        EXPECT_EQ(back.width, c.width) << c.what;
        EXPECT_EQ(back.height, c.height) << c.what;
        EXPECT_EQ(back.pixels, c.stored.empty() ? c.pixels : c.stored) << c.what;
        if (c.packetBytes != 0) {
            EXPECT_EQ(bytes.size() - 14, c.packetBytes) << c.what;
        }
    }
}

// A 9 x 5 RGBA PNG written with libpng itself: stripes, a lone pixel, transparent and half
// transparent corners, channels that RGB565 cuts.
struct SamplePng {
    static constexpr int kWidth = 9, kHeight = 5;
    std::vector<uint32_t> argb;

    explicit SamplePng(const std::string& path) {
        std::vector<uint8_t> rgba;
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                uint32_t c = y < 2 ? 0xFF1E5A8C : 0xFF8C5A1E;
                if (x == 4 && y == 2)
                    c = 0xFFFFFFFF;
                if (x == 0 && y == 0)
                    c = 0x00FF00FF;
                if (x == kWidth - 1)
                    c = 0x80C0C0C7 + static_cast<uint32_t>(y);
                argb.push_back(c);
                for (int shift : {16, 8, 0, 24})
                    rgba.push_back(static_cast<uint8_t>(c >> shift));
            }
        }
        png_image png;
        std::memset(&png, 0, sizeof(png));
        png.version = PNG_IMAGE_VERSION;
        png.width = kWidth;
        png.height = kHeight;
        png.format = PNG_FORMAT_RGBA;
        EXPECT_TRUE(png_image_write_to_file(&png, path.c_str(), 0, rgba.data(), 0, nullptr));
    }
};

// The words of the data array in a source file the tool wrote.
Words ArrayWords(const std::string& source, const std::string& array) {
    Words words;
    size_t at = source.find(array + "[] = {");
    if (at == std::string::npos)
        return words;
    const size_t end = source.find("};", at);
    at = source.find('{', at);
    while ((at = source.find("0x", at)) < end) {
        words.push_back(static_cast<uint16_t>(std::stoul(source.substr(at, 6), nullptr, 16)));
        at += 6;
    }
    return words;
}

TEST(PictureTool, TurnsAPngIntoAnImageFileAndPixmapSource) {
    testsupport::TempDir dir;
    const SamplePng png(dir / "logo.png");

    const testsupport::ProcessResult image = testsupport::RunCommand(
        {testsupport::ProgramPath("tovrask-picture"), "image", dir / "logo.png", dir / "Logo.img"});
    ASSERT_EQ(image.status, 0) << image.err;
    const Argb back = DecodeImageFile(testsupport::ReadFile(dir / "Logo.img"));
    std::vector<uint32_t> expected = png.argb;
    expected[0] = 0;  // transparent
    EXPECT_EQ(back.width, SamplePng::kWidth);
    EXPECT_EQ(back.height, SamplePng::kHeight);
    EXPECT_EQ(back.pixels, expected);
    // The device's own loader reads the same pixels.
    platform::TargetSystem target;
    platform::Install(&target);
    gui::Image loaded;
    ASSERT_TRUE(loaded.Load(dir / "Logo.img"));
    EXPECT_EQ(loaded.width, SamplePng::kWidth);
    EXPECT_EQ(loaded.pixels, expected);

    const testsupport::ProcessResult pixmap =
        testsupport::RunCommand({testsupport::ProgramPath("tovrask-picture"), "pixmap", "--name",
                                 "kLogo", dir / "logo.png", dir / "Logo.cpp"});
    ASSERT_EQ(pixmap.status, 0) << pixmap.err;
    const std::string source = testsupport::ReadFile(dir / "Logo.cpp");
    EXPECT_NE(source.find("extern const PackedPixmap kLogo = {\n    9, 5, kLogoData,"),
              std::string::npos)
        << source;
    const Words data = ArrayWords(source, "kLogoData");
    const gui::Pixmap16 p(gui::Size{SamplePng::kWidth, SamplePng::kHeight}, data.data(),
                          data.size(), true);
    ASSERT_EQ(p.pixels.size(), png.argb.size());
    for (size_t i = 0; i < png.argb.size(); ++i) {
        const uint32_t c = png.argb[i];
        const uint16_t rgb565 =
            ((c >> 16 & 0xFF) >> 3) << 11 | ((c >> 8 & 0xFF) >> 2) << 5 | (c & 0xFF) >> 3;
        EXPECT_EQ(p.pixels[i], rgb565) << "pixel " << i;
    }

    EXPECT_EQ(testsupport::RunCommand({testsupport::ProgramPath("tovrask-picture"), "pixmap",
                                       "--name", "not a name", dir / "logo.png", dir / "x.cpp"})
                  .status,
              2);
    EXPECT_EQ(testsupport::RunCommand({testsupport::ProgramPath("tovrask-picture"), "image",
                                       dir / "missing.png", dir / "x.img"})
                  .status,
              1);
}

}  // namespace
