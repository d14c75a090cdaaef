#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "gui/engine/Image.h"
#include "platform/TargetSystem.h"
#include "tests/support/TempDir.h"

using gui::Image;
using testsupport::TempDir;

namespace {

// Writes "QIM32.1" files packet by packet.
class ImageFile {
public:
    ImageFile(uint16_t w, uint16_t h, uint16_t version = 1) {
        bytes = std::string("QIM32.1", 7) + '\0';
        U16(version);
        U16(w);
        U16(h);
    }
    ImageFile& Run(uint16_t count, uint32_t pixel) {
        U16(0x8000 | count);
        U32(pixel);
        return *this;
    }
    ImageFile& Literal(const std::vector<uint32_t>& pixels) {
        U16(static_cast<uint16_t>(pixels.size()));
        for (uint32_t p : pixels) U32(p);
        return *this;
    }
    void U16(uint16_t v) { bytes += {static_cast<char>(v), static_cast<char>(v >> 8)}; }
    void U32(uint32_t v) {
        U16(static_cast<uint16_t>(v));
        U16(static_cast<uint16_t>(v >> 16));
    }
    std::string bytes;
};

}  // namespace

class ImageTest : public ::testing::Test {
protected:
    ImageTest() { platform::Install(&target); }

    // Loads the bytes as a file; returns the result and what was printed.
    bool Load(const std::string& bytes, std::string* printed = nullptr) {
        testsupport::WriteFile(dir / "logo.img", bytes);
        testing::internal::CaptureStdout();
        const bool ok = image.Load(dir / "logo.img");
        const std::string out = testing::internal::GetCapturedStdout();
        if (printed != nullptr) *printed = out;
        return ok;
    }

    platform::TargetSystem target;
    TempDir dir;
    Image image;
};

TEST_F(ImageTest, RunsAndLiteralsFillRowByRow) {
    struct Case {
        ImageFile file;
        std::vector<uint32_t> pixels;
    };
    const std::vector<uint32_t> six = {1, 2, 3, 4, 5, 6};
    Case cases[] = {
        {ImageFile(3, 2).Run(6, 0xFF0000FF), std::vector<uint32_t>(6, 0xFF0000FF)},
        {ImageFile(3, 2).Literal(six), six},
        {ImageFile(4, 2).Run(8, 7), std::vector<uint32_t>(8, 7)},  // across the row's end
        {ImageFile(2, 2).Run(0, 9).Literal({1}).Run(3, 2), {1, 2, 2, 2}},  // count 0 makes nothing
        {ImageFile(0, 5), {}},
    };
    for (Case& c : cases) {
        ASSERT_TRUE(Load(c.file.bytes));
        EXPECT_EQ(image.pixels, c.pixels);
        EXPECT_EQ(static_cast<size_t>(image.width) * image.height, c.pixels.size());
    }
}

TEST_F(ImageTest, TheSameSizeReusesItsMemory) {
    ASSERT_TRUE(Load(ImageFile(3, 2).Run(6, 1).bytes));
    const uint32_t* memory = image.pixels.data();
    ASSERT_TRUE(Load(ImageFile(3, 2).Run(6, 2).bytes));
    EXPECT_EQ(image.pixels.data(), memory);
    EXPECT_EQ(image.pixels[5], 2u);
    ASSERT_TRUE(Load(ImageFile(2, 3).Run(6, 3).bytes));
    EXPECT_EQ(image.width, 2);
    // A size set by hand over too few pixels is not taken for the memory of that size.
    image.pixels.resize(1);
    ASSERT_TRUE(Load(ImageFile(2, 3).Run(6, 4).bytes));
    EXPECT_EQ(image.pixels, std::vector<uint32_t>(6, 4));
}

TEST_F(ImageTest, BadFilesFailWithTheirLines) {
    struct Case {
        std::string bytes;
        std::string line;
        bool keepsOld;  // the image as it was, or empty
    };
    std::string wrongMagic = ImageFile(1, 1).Run(1, 0).bytes;
    wrongMagic[6] = '2';
    const Case cases[] = {
        {wrongMagic, "Invalid magic 'QIM32.1' 'QIM32.2'.\n", true},
        {ImageFile(1, 1, 2).Run(1, 0).bytes, "Image: Invalid version 2 > 1.\n", true},
        {ImageFile(1, 1, 0).Run(1, 0).bytes, "Image: Invalid version 0 > 1.\n", true},
        {ImageFile(2, 2).Run(5, 1).bytes, "Image out of boundary error 1.\n", false},
        {ImageFile(2, 2).Run(2, 1).Literal({1, 2, 3}).bytes, "Image out of boundary error 2.\n", false},
        {ImageFile(2, 2).Run(3, 1).bytes, "", false},                    // ends before its pixels
        {ImageFile(2, 2).Literal({1, 2, 3, 4}).bytes.substr(0, 20), "", false},
        {ImageFile(65535, 65535).Run(32767, 1).bytes, "", false},       // far more than it holds
        {ImageFile(3, 3).bytes.substr(0, 12), "", false},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(Load(ImageFile(1, 2).Run(2, 0x12345678).bytes));
        std::string printed;
        EXPECT_FALSE(Load(c.bytes, &printed)) << c.line;
        EXPECT_EQ(printed, c.line);
        if (c.keepsOld) {
            EXPECT_EQ(image.width, 1);
            EXPECT_EQ(image.pixels, std::vector<uint32_t>(2, 0x12345678));
        } else {
            EXPECT_EQ(image.width, -1);
            EXPECT_EQ(image.height, -1);
            EXPECT_TRUE(image.pixels.empty());
        }
    }
    testing::internal::CaptureStdout();
    EXPECT_FALSE(image.Load(dir / "missing.img"));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Failed to open the image " + (dir / "missing.img") + " file.\n");
}
