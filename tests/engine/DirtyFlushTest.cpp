// A flush copies only what was drawn since the last one; whatever a primitive wrote, on or
// partly off the canvas, must still reach the framebuffer, and the padding of its rows never.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "gui/engine/DirtyRegion.h"
#include "gui/engine/ScreenEngineLpc.h"
#include "gui/engine/data/BuiltinFont.h"

using gui::Pixel;
using gui::Rect;

namespace {

constexpr int kWidth = 40, kHeight = 30, kStride = 44;
constexpr Pixel kBefore = 0x5A5A;

}  // namespace

TEST(DirtyFlush, WhatEveryPrimitiveDrewReachesThePaddedFramebuffer) {
    gui::Image image;
    image.width = 6;
    image.height = 5;
    image.pixels.assign(30, 0x80FF8000);
    gui::Pixmap16 pixmap(gui::Size{7, 4});
    pixmap.Fill(0x1234);
    const Pixel words[5] = {1, 2, 3, 4, 5};
    const gui::Span spans[] = {{-3, 2, 4, 10, 4}, {30, 29, 3, 20, 3}};
    const Rect inverted =
        Rect::FromEdges(30, 25, 2, 3);  // text clip given corner to corner the wrong way
    struct Case {
        std::string name;
        std::function<void(gui::ScreenEngineLpc&)> draw;
    };
    const Case cases[] = {
        {"diagonal line", [](auto& e) { e.DrawLine(3, 4, 20, 9); }},
        {"steep line off the canvas", [](auto& e) { e.DrawLine(-5, -40, 12, 50); }},
        {"vertical line", [](auto& e) { e.DrawLine(39, -3, 39, 12); }},
        {"horizontal line", [](auto& e) { e.DrawLine(45, 29, -2, 29); }},
        {"spans", [&](auto& e) { e.DrawSpans(spans, 2); }},
        {"ellipse partly off", [](auto& e) { e.DrawEllipse(35, 3, 9, 6); }},
        {"image", [&](auto& e) { e.DrawImage(36, 27, image); }},
        {"pixmap", [&](auto& e) { e.DrawPixmap(-2, 10, pixmap); }},
        {"pixel", [](auto& e) { e.DrawPixel(0, 0, 0xFFFFFFFF); }},
        {"written pixels", [&](auto& e) { e.WritePixels(37, 15, words, 5); }},
        {"text", [](auto& e) { e.DrawText(2, 20, "Update", nullptr); }},
        {"clipped text", [&](auto& e) { e.DrawText(1, 16, "Wg", &inverted); }},
    };
    for (const Case& c : cases) {
        std::vector<Pixel> fb(static_cast<size_t>(kStride) * kHeight, kBefore);
        gui::ScreenEngineLpc engine(fb.data(), kWidth, kHeight, kStride * 2);
        engine.RegisterFont(0, gui::LoadBuiltinFont());
        engine.SelectFont(0);
        engine.SetPenColour(0xFF00FF00);
        engine.SetFillColour(0xFF0000FF);
        c.draw(engine);
        const gui::DirtyRegion copied = engine.Flush();
        EXPECT_FALSE(copied.Empty()) << c.name;
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kStride; ++x) {
                const Pixel expected = x < kWidth ? *engine.Canvas().At(x, y) : kBefore;
                ASSERT_EQ(fb[static_cast<size_t>(y) * kStride + x], expected)
                    << c.name << " at " << x << "," << y;
            }
        }
        EXPECT_TRUE(engine.Flush().Empty()) << c.name << ": nothing drawn since, nothing copied";
    }
}

TEST(DirtyFlush, RegionsJoinWhatTouchesAndStayFew) {
    gui::DirtyRegion region;
    region.Add(Rect(0, 0, 10, 10));
    region.Add(Rect(10, 0, 5, 10));  // edge to edge: one rectangle
    ASSERT_EQ(region.Count(), 1);
    EXPECT_EQ(region[0], Rect(0, 0, 15, 10));
    region.Add(Rect(100, 100, 4, 4));
    EXPECT_EQ(region.Count(), 2);
    // A union that reaches a third rectangle takes it in too.
    region.Add(Rect(14, 9, 90, 92));
    ASSERT_EQ(region.Count(), 1);
    EXPECT_EQ(region[0], Rect::FromEdges(0, 0, 103, 103));

    region.Clear();
    for (int i = 0; i < 3 * gui::DirtyRegion::kMaxRects; ++i)
        region.Add(Rect(i * 20, (i % 3) * 40, 3, 3));
    EXPECT_LE(region.Count(), gui::DirtyRegion::kMaxRects);
    for (int i = 0; i < 3 * gui::DirtyRegion::kMaxRects; ++i) {
        bool covered = false;
        for (const Rect& r : region)
            covered = covered || (r.Contains(i * 20, (i % 3) * 40) &&
                                  r.Contains(i * 20 + 2, (i % 3) * 40 + 2));
        EXPECT_TRUE(covered) << "rectangle " << i << " is still copied";
    }
    for (int a = 0; a < region.Count(); ++a) {
        for (int b = a + 1; b < region.Count(); ++b) {
            EXPECT_TRUE(Rect::Intersect(region[a], region[b]).IsNull())
                << "no pixel is copied twice";
        }
    }
}
