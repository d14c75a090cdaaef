#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>

#include "gui/engine/Font.h"
#include "gui/engine/Painter.h"
#include "gui/engine/data/BuiltinFont.h"
#include "tests/engine/EngineFixture.h"

// Registers the built-in font as font 0, as start-up does.
inline void RegisterBuiltinFont(gui::AbstractScreenEngine& engine) {
    testing::internal::CaptureStdout();
    engine.RegisterFont(0, gui::LoadBuiltinFont());
    testing::internal::GetCapturedStdout();
}

// The screen widgets draw on while the object lives (the built-in font is font 0 and every
// pixel starts at `fill`), and beside it a picture of what the test expects there, painted by
// hand from rectangles, text at known baseline origins and the painter's rounded rectangles.
class ScreenCheck {
public:
    ScreenCheck(int width, int height, gui::Pixel fill)
        : screen(width, height), background(fill), expected_(width, height) {
        std::fill(screen.engine.Canvas().buffer.begin(), screen.engine.Canvas().buffer.end(), fill);
        std::fill(expected_.engine.Canvas().buffer.begin(), expected_.engine.Canvas().buffer.end(),
                  fill);
        RegisterBuiltinFont(screen.engine);
        RegisterBuiltinFont(expected_.engine);
        expected_.engine.SelectFont(0);
        gui::SetEngine(&screen.engine);  // the expected picture is painted through its own engine
    }

    int Width() const { return expected_.engine.Canvas().width; }
    int Height() const { return expected_.engine.Canvas().height; }

    // The pixels of r are expected to be p.
    void Fill(const gui::Rect& r, gui::Pixel p) {
        for (int y = std::max(r.top, 0); y <= std::min(r.bottom, Height() - 1); ++y) {
            for (int x = std::max(r.left, 0); x <= std::min(r.right, Width() - 1); ++x) {
                *expected_.engine.Canvas().At(x, y) = p;
            }
        }
    }
    // The text is expected with its baseline origin at (x, y), in the colour.
    void Text(int x, int y, const char* text, gui::Colour colour) {
        expected_.engine.SetPenColour(colour);
        expected_.engine.DrawText(x, y, text, nullptr);
    }
    // r is expected to be the painter's rounded rectangle, filled and outlined in the colour.
    void RoundedRect(const gui::Rect& r, int radius, int corners, gui::Colour colour) {
        gui::AbstractScreenEngine* drawing = gui::Engine();
        gui::SetEngine(&expected_.engine);
        {
            gui::ScreenPort port;
            gui::Painter p(&port);
            p.SetPenColour(colour);
            p.SetFillColour(colour);
            p.DrawRoundedRect(r, radius, radius, corners);
        }
        gui::SetEngine(drawing);
    }

    // "" when every pixel is as expected, else how many differ and the first of them.
    std::string Differences() {
        int count = 0;
        std::string first;
        for (int y = 0; y < Height(); ++y) {
            for (int x = 0; x < Width(); ++x) {
                const gui::Pixel drawn = screen.At(x, y), wanted = expected_.At(x, y);
                if (drawn == wanted)
                    continue;
                if (++count <= 5) {
                    char line[80];
                    std::snprintf(line, sizeof line, " (%d, %d) is 0x%04X, not 0x%04X;", x, y,
                                  drawn, wanted);
                    first += line;
                }
            }
        }
        return count == 0 ? "" : std::to_string(count) + " pixels differ:" + first;
    }

    ScopedScreen screen;
    const gui::Pixel background;

private:
    ScopedScreen expected_;
};

// A dialog's frame: the title bar (the top barHeight rows) in the title colour with its two upper
// corners rounded by `radius`, then borders of 4 pixels left, right and bottom in the title colour
// around the body.
inline void ExpectDialogFrame(ScreenCheck& check, const gui::Rect& r, int barHeight, int radius,
                              gui::Colour title, gui::Pixel body) {
    const gui::Rect bar = gui::Rect::FromEdges(r.left, r.top, r.right, r.top + barHeight - 1);
    check.RoundedRect(bar, radius, gui::Painter::TopLeft | gui::Painter::TopRight, title);
    check.Fill(gui::Rect::FromEdges(r.left, r.top + barHeight, r.right, r.bottom),
               gui::ToPixel(title));
    check.Fill(gui::Rect::FromEdges(r.left + 4, r.top + barHeight, r.right - 4, r.bottom - 4),
               body);
    EXPECT_EQ(check.screen.At(r.left, r.top), check.background) << "rounded top-left corner";
    EXPECT_EQ(check.screen.At(r.right, r.top), check.background) << "rounded top-right corner";
}
