#include <gtest/gtest.h>

#include <cstring>

#include "gui/engine/Colour.h"
#include "tests/engine/EngineFixture.h"

using gui::Pixel;

TEST(Colour, ConversionAndBlending) {
    EXPECT_EQ(gui::ToPixel(0xFFFFFFFF), 0xFFFF);
    EXPECT_EQ(gui::ToPixel(0x00123456), (0x12 >> 3) << 11 | (0x34 >> 2) << 5 | (0x56 >> 3));
    EXPECT_EQ(gui::ToPixel(gui::ColourNone), 0xFFFF);  // alpha ignored: "no colour" is white
    EXPECT_EQ(gui::ToRgb888(0xFFFF), 0x00F8FCF8u);     // bits are not replicated

    struct Case {
        gui::Colour colour;
        Pixel under;
        Pixel expected;
    };
    const Case cases[] = {
        {0x00FFFFFF, 0x1234, 0x1234},  // alpha 0 keeps the pixel
        {0xFF123456, 0x0000, gui::ToPixel(0x123456)},
        {0x80FFFFFF, 0x0000, 0x8410},  // (255 * 129) >> 8 = 128 per channel
        {0x80000000, 0xFFFF, gui::ToPixel(0x7B7D7B)},  // (248 * 127) >> 8 = 123, 252 -> 125
        {0x40FF0000, 0x001F, gui::ToPixel(0x4000B9)},  // red and blue mixed in one word
    };
    for (const Case& c : cases) {
        EXPECT_EQ(gui::Blend(c.colour, c.under), c.expected) << std::hex << c.colour;
    }
}

class ScreenEngineTest : public EngineFixture {};

TEST_F(ScreenEngineTest, LinesDrawExactPixelSets) {
    struct Case {
        int x0, y0, x1, y1;
        PixelSet pixels;
    };
    const Case cases[] = {
        {5, 5, 5, 5, {{5, 5}}},
        {3, 2, 3, 5, {{3, 2}, {3, 3}, {3, 4}, {3, 5}}},
        {6, 1, 2, 1, {{2, 1}, {3, 1}, {4, 1}, {5, 1}, {6, 1}}},
        // Steep: x from 0.5 in steps of 1/3.
        {0, 0, 1, 3, {{0, 0}, {0, 1}, {1, 2}, {1, 3}}},
        {1, 3, 0, 0, {{1, 3}, {1, 2}, {0, 1}, {0, 0}}},
        {0, 0, 3, 3, {{0, 0}, {1, 1}, {2, 2}, {3, 3}}},
        {4, 0, 0, 4, {{4, 0}, {3, 1}, {2, 2}, {1, 3}, {0, 4}}},
        // Shallow: y from 0.5 in steps of 1/4.
        {0, 0, 4, 1, {{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 1}}},
    };
    for (const Case& c : cases) {
        std::fill(engine.Canvas().buffer.begin(), engine.Canvas().buffer.end(), kBackground);
        engine.DrawLine(c.x0, c.y0, c.x1, c.y1);
        EXPECT_EQ(Changed(), c.pixels) << c.x0 << "," << c.y0 << " - " << c.x1 << "," << c.y1;
    }
}

TEST_F(ScreenEngineTest, LinesCutByTheEdgeKeepTheirPixels) {
    // The same line drawn whole on a canvas around this one, moved by the margin, gives the
    // pixels that fall on this one.
    constexpr int kMargin = 100;
    struct Line {
        int x0, y0, x1, y1;
    };
    const Line lines[] = {
        {-40, -7, 70, 30}, {70, 30, -40, -7}, {-3, -60, 20, 80}, {20, 80, -3, -60},
        {-90, 23, 90, 0},  {31, -90, 0, 90},  {-50, 5, -2, 40},  {40, -1, 10, -80},
    };
    for (const Line& l : lines) {
        ScopedScreen whole(kWidth + 2 * kMargin, kHeight + 2 * kMargin);
        whole.engine.SetPenColour(0xFFFFFFFF);
        whole.engine.DrawLine(l.x0 + kMargin, l.y0 + kMargin, l.x1 + kMargin, l.y1 + kMargin);
        PixelSet expected;
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                if (whole.At(x + kMargin, y + kMargin) != 0) expected.insert({x, y});
            }
        }
        gui::SetEngine(&engine);
        std::fill(engine.Canvas().buffer.begin(), engine.Canvas().buffer.end(), kBackground);
        engine.DrawLine(l.x0, l.y0, l.x1, l.y1);
        EXPECT_EQ(Changed(), expected) << l.x0 << "," << l.y0 << " - " << l.x1 << "," << l.y1;
    }
}

TEST_F(ScreenEngineTest, FarCoordinatesDrawOnlyWhatCrossesTheCanvas) {
    // Beyond 16-bit coordinates the fixed-point steps need more than 32 bits, and a line
    // across the whole range must not take billions of steps.
    engine.DrawLine(40000, 0, 40001, 10);
    engine.DrawLine(INT32_MIN, 5, INT32_MAX, 5);
    engine.DrawLine(3, INT32_MIN, 3, INT32_MAX);
    EXPECT_EQ(RowXs(5).size(), static_cast<size_t>(kWidth));
    EXPECT_EQ(RowXs(0), (std::vector<int>{3}));
    EXPECT_EQ(Changed().size(), static_cast<size_t>(kWidth + kHeight - 1));
    // Half a row per column, from the centre of the row at x = 0.
    std::fill(engine.Canvas().buffer.begin(), engine.Canvas().buffer.end(), kBackground);
    engine.DrawLine(-2000000000, -1000000000, 2000000000, 1000000000);
    PixelSet half;
    for (int x = 0; x < kWidth; ++x) half.insert({x, (x + 1) / 2});
    EXPECT_EQ(Changed(), half);
}

TEST_F(ScreenEngineTest, LinesIgnorePenAlpha) {
    engine.SetPenColour(0x00FF0000);
    engine.DrawLine(0, 0, 3, 0);
    EXPECT_EQ(At(2, 0), 0xF800);
}

TEST_F(ScreenEngineTest, SpansSkipRunsWithoutColour) {
    const gui::Span spans[] = {{2, 1, 2, 3, 1}, {2, 2, 0, 4, -1}};
    engine.SetPenColour(0xFFFF0000);
    engine.SetFillColour(gui::ColourNone);
    engine.DrawSpans(spans, 1);
    EXPECT_EQ(RowXs(1), (std::vector<int>{2, 3, 7}));

    engine.SetPenColour(gui::ColourNone);
    engine.SetFillColour(0xFF00FF00);
    engine.DrawSpans(spans, 2);
    EXPECT_EQ(At(2, 1), 0xF800);  // the border stays as it was
    EXPECT_EQ(At(4, 1), 0x07E0);
    EXPECT_EQ(RowXs(2), (std::vector<int>{2, 3, 4, 5}));  // empty and negative runs draw nothing
}

TEST_F(ScreenEngineTest, EllipseOutlineIsSymmetricAndTouchesItsAxes) {
    engine.DrawEllipse(15, 11, 7, 4);
    const PixelSet pixels = Changed();
    for (const auto& p : pixels) {
        EXPECT_TRUE(pixels.count({30 - p.first, p.second}) && pixels.count({p.first, 22 - p.second}));
        EXPECT_LE(std::abs(p.first - 15), 7);
        EXPECT_LE(std::abs(p.second - 11), 4);
    }
    for (const auto& extreme : PixelSet{{8, 11}, {22, 11}, {15, 7}, {15, 15}}) {
        EXPECT_EQ(pixels.count(extreme), 1u) << extreme.first << "," << extreme.second;
    }
    EXPECT_EQ(pixels.count({15, 11}), 0u);
    // A circle of radius 1 is the four axis points and the four diagonals... at most.
    std::fill(engine.Canvas().buffer.begin(), engine.Canvas().buffer.end(), kBackground);
    engine.DrawEllipse(5, 5, 1, 1);
    EXPECT_TRUE(Changed().count({6, 5}) && Changed().count({5, 4}));
    // No radius at all: the centre.
    std::fill(engine.Canvas().buffer.begin(), engine.Canvas().buffer.end(), kBackground);
    engine.DrawEllipse(5, 5, 0, 0);
    EXPECT_EQ(Changed(), (PixelSet{{5, 5}}));
}

TEST_F(ScreenEngineTest, ImagesBlendPerPixelAndPixmapsCopy) {
    gui::Image clear;
    clear.width = 3;
    clear.height = 2;
    clear.pixels.assign(6, 0x00FFFFFF);
    engine.DrawImage(1, 1, clear);
    EXPECT_TRUE(Changed().empty());

    gui::Image mixed = clear;
    mixed.pixels = {0xFFFF0000, 0x80FFFFFF, 0x00000000, 0xFF0000FF, 0xFF00FF00, 0xFFFFFFFF};
    engine.DrawImage(4, 2, mixed);
    EXPECT_EQ(At(4, 2), 0xF800);
    EXPECT_EQ(At(5, 2), gui::Blend(0x80FFFFFF, kBackground));
    EXPECT_EQ(At(6, 2), kBackground);
    EXPECT_EQ(At(6, 3), 0xFFFF);

    gui::Pixmap16 pixmap(gui::Size{2, 2});
    pixmap.pixels = {1, 2, 3, 4};
    engine.DrawPixmap(10, 10, pixmap);
    EXPECT_EQ(At(10, 10), 1);
    EXPECT_EQ(At(11, 11), 4);
    const Pixel words[] = {7, 8, 9};
    engine.WritePixels(20, 0, words, 3);
    EXPECT_EQ(RowXs(0), (std::vector<int>{20, 21, 22}));
}

TEST_F(ScreenEngineTest, PixelsBlendWithTheirAlpha) {
    engine.DrawPixel(0, 0, 0x00FFFFFF);
    engine.DrawPixel(1, 0, 0xFFABCDEF);
    EXPECT_EQ(At(0, 0), kBackground);
    EXPECT_EQ(At(1, 0), gui::ToPixel(0xABCDEF));
}

TEST_F(ScreenEngineTest, UnknownFontPrintsOnceAndDrawsNoText) {
    testing::internal::CaptureStdout();
    engine.SelectFont(5);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Object 5 not found.\n");
    EXPECT_EQ(engine.CurrentFont(), nullptr);
    engine.DrawText(2, 10, "AB", nullptr);
    EXPECT_TRUE(Changed().empty());
}

TEST(ScreenEngineFlush, CopiesRowByRowIntoAPaddedFramebuffer) {
    const int width = 5, height = 3, stride = 8;
    std::vector<Pixel> fb(stride * height);
    for (size_t i = 0; i < fb.size(); ++i) fb[i] = static_cast<Pixel>(i);
    gui::ScreenEngineLpc engine(fb.data(), width, height, stride * 2);
    // The off-screen picture starts as the framebuffer showed it, without the padding.
    EXPECT_EQ(*engine.Canvas().At(0, 1), 8);
    EXPECT_EQ(*engine.Canvas().At(4, 2), 20);

    std::fill(engine.Canvas().buffer.begin(), engine.Canvas().buffer.end(), 0xAAAA);
    engine.MarkAllDrawn();
    engine.Flush();
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < stride; ++x) {
            const Pixel expected = x < width ? 0xAAAA : static_cast<Pixel>(y * stride + x);
            EXPECT_EQ(fb[y * stride + x], expected) << x << "," << y;
        }
    }
}

TEST(ScreenEngineFlush, CopiesOneBlockWhenRowsArePacked) {
    std::vector<Pixel> fb(4 * 2, 0);
    gui::ScreenEngineLpc engine(fb.data(), 4, 2, 0);
    EXPECT_EQ(engine.Canvas().framebufferStride, 4);
    EXPECT_EQ(engine.Canvas().size, 16u);
    std::fill(engine.Canvas().buffer.begin(), engine.Canvas().buffer.end(), 0x1234);
    engine.MarkAllDrawn();
    engine.Flush();
    EXPECT_EQ(fb, std::vector<Pixel>(8, 0x1234));
}

TEST_F(ScreenEngineTest, WhatFallsOutsideTheCanvasIsNotDrawn) {
    // The framebuffer memory around the canvas is ours to watch: a stray write would land there
    // (and AddressSanitizer builds would stop at it).
    engine.DrawLine(-10, -10, 100, 100);
    engine.DrawLine(-5, 3, 200, 3);
    engine.DrawLine(7, -50, 7, 50);
    const gui::Span wide[] = {{-20, 5, 10, 100, 10}, {0, -1, 5, 5, 5}, {0, kHeight, 5, 5, 5}};
    engine.SetFillColour(0xFF00FF00);
    engine.DrawSpans(wide, 3);
    engine.DrawEllipse(0, 0, 40, 30);
    gui::Image big;
    big.width = 50;
    big.height = 40;
    big.pixels.assign(50 * 40, 0xFF0000FF);
    engine.DrawImage(-10, -10, big);
    engine.DrawImage(kWidth - 2, kHeight - 2, big);
    gui::Pixmap16 pixmap(gui::Size{40, 3});
    engine.DrawPixmap(-3, 20, pixmap);
    const Pixel words[40] = {};
    engine.WritePixels(kWidth - 5, 1, words, 40);
    engine.WritePixels(-100, 1, words, 40);
    engine.DrawPixel(-1, 0, 0xFFFFFFFF);
    engine.DrawPixel(kWidth, kHeight, 0xFFFFFFFF);
    EXPECT_EQ(At(kWidth - 1, kHeight - 1), 0x001F);  // the image's visible corner
    EXPECT_EQ(At(0, 22), 0);                          // the pixmap's visible part
    EXPECT_EQ(framebuffer.size(), static_cast<size_t>(kWidth * kHeight));
}
