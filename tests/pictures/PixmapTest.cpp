#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "gui/engine/Pixmap16.h"
#include "gui/engine/data/BackgroundPictures.h"

namespace {

using gui::Pixel;
using gui::Pixmap16;
using gui::Point;
using gui::Size;
using Pixels = std::vector<Pixel>;

constexpr Pixel A = 0xF800, B = 0x07E0, C = 0x001F, D = 0xFFFF;

TEST(Pixmap16, DecodesPacketsAndNeverGoesPastDataOrPicture) {
    struct Case {
        const char* what;
        Size size;
        std::vector<uint16_t> data;
        size_t words;  // of data the pixmap is given; the rest must not be read
        bool compressed;
        Pixels expected;
    };
    const Case cases[] = {
        {"literal", {3, 1}, {0x0003, A, B, C}, 4, true, {A, B, C}},
        {"run across rows", {4, 2}, {0x8008, D}, 2, true, Pixels(8, D)},
        {"runs and literals",
         {3, 2},
         {0x8002, A, 0x0002, B, C, 0x8002, D},
         7,
         true,
         {A, A, B, C, D, D}},
        {"empty run consumes its word", {2, 1}, {0x8000, D, 0x0002, A, B}, 5, true, {A, B}},
        {"empty literal", {2, 1}, {0x0000, 0x8002, C}, 3, true, {C, C}},
        {"data ends early", {3, 2}, {0x8002, A}, 2, true, {A, A, 0, 0, 0, 0}},
        {"literal cut by the end", {4, 1}, {0x0003, A, B, C}, 3, true, {A, B, 0, 0}},
        {"run without its word", {2, 1}, {0x0001, A, 0x8001, B}, 3, true, {A, 0}},
        {"run overruns", {2, 2}, {0x8009, B, 0x0001, A}, 4, true, Pixels(4, B)},
        {"literal overruns", {2, 1}, {0x0004, A, B, C, D, 0x8003, C}, 7, true, {A, B}},
        {"raw", {2, 2}, {A, B, C, D}, 4, false, {A, B, C, D}},
        {"raw ends early", {2, 2}, {A, B, C, D}, 3, false, {A, B, C, 0}},
        {"no pixels", {0, 5}, {0x8005, A}, 2, true, {}},
    };
    for (const Case& c : cases) {
        const Pixmap16 p(c.size, c.data.data(), c.words, c.compressed);
        EXPECT_EQ(p.width, c.size.width) << c.what;
        EXPECT_EQ(p.height, c.size.height) << c.what;
        EXPECT_EQ(p.pixels, c.expected) << c.what;
    }
    EXPECT_EQ(Pixmap16(Size{2, 3}, nullptr, 0, true).pixels, Pixels(6, 0));

    const uint16_t packed[] = {0x8003, C, 0x0001, D};
    EXPECT_EQ(Pixmap16(gui::PackedPixmap{2, 2, packed, 4}).pixels, (Pixels{C, C, C, D}));
}

TEST(Pixmap16, FillSetsEveryPixel) {
    Pixmap16 p(Size{3, 5});
    p.Fill(0x1234);
    EXPECT_EQ(p.pixels, Pixels(15, 0x1234));
}

// A 4 x 3 target whose pixels all differ, so that any misplaced write shows.
Pixmap16 Target() {
    Pixmap16 t(Size{4, 3});
    for (size_t i = 0; i < t.pixels.size(); ++i)
        t.pixels[i] = static_cast<Pixel>(0x0100 + i);
    return t;
}

enum class Outcome { kDrawn, kTooBig, kBadOrigin };

// Both ways of compositing, each with the line it prints for a source that does not fit.
struct Compositing {
    const char* tooBig;
    bool (*draw)(Pixmap16& target, const Point& origin, Pixel ink, const Size& size);
};
const Compositing kCompositings[] = {
    {"Given pixmap does not fit into this pixmap.\n",
     [](Pixmap16& target, const Point& origin, Pixel ink, const Size& size) {
         Pixmap16 source(size);
         source.Fill(ink);
         return target.DrawPixmap(origin, source);
     }},
    {"Image does not fit into pixmap.\n",
     [](Pixmap16& target, const Point& origin, Pixel ink, const Size& size) {
         gui::Image image;
         image.width = size.width;
         image.height = size.height;
         image.pixels.assign(static_cast<size_t>(size.width) * size.height,
                             0xFF000000 | gui::ToRgb888(ink));
         return target.DrawImage(origin, image);
     }},
};

TEST(Pixmap16, CompositesOnlyWhatFitsInsideAndSaysWhyNot) {
    struct Case {
        Point origin;
        Size size;
        Outcome outcome;
    };
    const Case cases[] = {
        {{0, 0}, {4, 3}, Outcome::kDrawn},  // exactly as large
        {{3, 2}, {1, 1}, Outcome::kDrawn},  // the last pixel
        {{1, 1}, {2, 1}, Outcome::kDrawn},       {{0, 0}, {5, 3}, Outcome::kTooBig},
        {{0, 0}, {4, 4}, Outcome::kTooBig},      {{1, 0}, {4, 3}, Outcome::kTooBig},
        {{3, 2}, {1, 2}, Outcome::kTooBig},      {{INT32_MAX, 0}, {1, 1}, Outcome::kTooBig},
        {{-1, 0}, {1, 1}, Outcome::kBadOrigin},  {{0, -1}, {2, 2}, Outcome::kBadOrigin},
        {{-2, -2}, {9, 9}, Outcome::kBadOrigin},
    };
    constexpr Pixel kInk = 0xAB8D;  // survives RGB565 -> RGB888 -> RGB565
    for (const Case& c : cases) {
        Pixmap16 expected = Target();
        if (c.outcome == Outcome::kDrawn) {
            for (int32_t y = 0; y < c.size.height; ++y) {
                for (int32_t x = 0; x < c.size.width; ++x)
                    expected.pixels[(c.origin.y + y) * 4 + c.origin.x + x] = kInk;
            }
        }
        for (const Compositing& op : kCompositings) {
            const std::string where = std::string(op.tooBig) + " at " + std::to_string(c.origin.x) +
                                      "," + std::to_string(c.origin.y) + ", " +
                                      std::to_string(c.size.width) + "x" +
                                      std::to_string(c.size.height);
            Pixmap16 target = Target();
            testing::internal::CaptureStdout();
            const bool drawn = op.draw(target, c.origin, kInk, c.size);
            const std::string log = testing::internal::GetCapturedStdout();
            EXPECT_EQ(drawn, c.outcome == Outcome::kDrawn) << where;
            EXPECT_EQ(log, c.outcome == Outcome::kDrawn    ? ""
                           : c.outcome == Outcome::kTooBig ? op.tooBig
                                                           : "Invalid origin.\n")
                << where;
            EXPECT_EQ(target.pixels, expected.pixels) << where;
        }
    }
}

TEST(Pixmap16, DrawImageBlendsByAlpha) {
    Pixmap16 target = Target();
    gui::Image image;
    image.width = 4;
    image.height = 3;
    // Row 0 transparent in several colours, row 1 opaque, row 2 half.
    image.pixels = {0x00FFFFFF, 0x00000000, 0x00123456, 0x00FF00FF, 0xFF123456, 0xFFFFFFFF,
                    0xFF000000, 0xFF808080, 0x80FFFFFF, 0x80FFFFFF, 0x80FFFFFF, 0x80FFFFFF};
    ASSERT_TRUE(target.DrawImage(Point(0, 0), image));
    const Pixmap16 before = Target();
    for (int x = 0; x < 4; ++x) {
        EXPECT_EQ(target.pixels[x], before.pixels[x]) << x;
        EXPECT_EQ(target.pixels[4 + x], gui::ToPixel(image.pixels[4 + x])) << x;
        EXPECT_EQ(target.pixels[8 + x], gui::Blend(0x80FFFFFF, before.pixels[8 + x])) << x;
        EXPECT_NE(target.pixels[8 + x], before.pixels[8 + x]) << x;
    }
}

TEST(BackgroundPictures, FillTheirSizeExactlyAndStandOnBlack) {
    struct Case {
        const char* name;
        const gui::PackedPixmap& packed;
        int32_t width, height;
    };
    const Case cases[] = {
        {"emblem, large", gui::kEmblemLarge, 314, 158},
        {"mark, large", gui::kMarkLarge, 288, 75},
        {"emblem, small", gui::kEmblemSmall, 255, 128},
        {"mark, small", gui::kMarkSmall, 230, 60},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.packed.width, c.width) << c.name;
        EXPECT_EQ(c.packed.height, c.height) << c.name;
        // The packets end exactly with the last pixel and the last word.
        size_t pixels = 0, at = 0;
        while (at < c.packed.words) {
            const uint16_t header = c.packed.data[at];
            pixels += header & 0x7FFF;
            at += 1 + ((header & 0x8000) ? 1 : (header & 0x7FFF));
        }
        EXPECT_EQ(at, c.packed.words) << c.name;
        EXPECT_EQ(pixels, static_cast<size_t>(c.width) * c.height) << c.name;
        // They are copied onto the black screen without transparency.
        const Pixmap16 p(c.packed);
        for (size_t corner : {size_t{0}, static_cast<size_t>(c.width - 1),
                              p.pixels.size() - c.width, p.pixels.size() - 1}) {
            EXPECT_EQ(p.pixels[corner], 0) << c.name << ", pixel " << corner;
        }
    }
}

}  // namespace
