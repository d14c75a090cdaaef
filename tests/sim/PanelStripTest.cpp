#include <gtest/gtest.h>
#include <linux/input-event-codes.h>

#include <string>
#include <vector>

#include "sim/PanelStrip.h"

namespace {

// The key codes of the buttons met along the strip's middle row, left to right.
std::vector<uint16_t> ButtonsAlong(const PanelStrip& strip) {
    std::vector<uint16_t> codes;
    for (int x = 0; x < strip.Width(); ++x) {
        const uint16_t code = strip.ButtonAt(x, strip.Height() / 2);
        if (code != 0 && (codes.empty() || codes.back() != code)) codes.push_back(code);
    }
    return codes;
}

}  // namespace

TEST(PanelStrip, EveryKeyHasItsButtonEvenBesideANarrowDisplay) {
    const std::vector<uint16_t> panel = {KEY_ESC, KEY_ENTER, KEY_F1, KEY_UP, KEY_DOWN};
    for (int width : {800, 640, 320, 64}) {
        PanelStrip strip(width, true);
        EXPECT_GE(strip.Width(), width);
        EXPECT_EQ(ButtonsAlong(strip), panel) << width;
        EXPECT_EQ(strip.ButtonAt(-1, strip.Height() / 2), 0) << width;
        EXPECT_EQ(strip.ButtonAt(strip.Width() / 2, strip.Height()), 0) << width;
    }
}

TEST(PanelStrip, WithoutTheSimulatorsKeyDeviceNoButtonPresses) {
    PanelStrip enabled(800, true), disabled(800, false);
    EXPECT_TRUE(ButtonsAlong(disabled).empty());
    EXPECT_NE(enabled.Pixels(), disabled.Pixels()) << "disabled buttons look disabled";
}

TEST(PanelStrip, TheConsoleLineStaysBetweenTheButtonsAndTheEdge) {
    PanelStrip empty(800, true), full(800, true);
    EXPECT_TRUE(full.SetLine(std::string(400, 'W')));
    EXPECT_FALSE(full.SetLine(std::string(400, 'W')));
    const std::vector<uint16_t>& a = empty.Pixels();
    const std::vector<uint16_t>& b = full.Pixels();
    ASSERT_EQ(a.size(), b.size());
    int lastButtonColumn = 0;
    for (int x = 0; x < empty.Width(); ++x) {
        if (empty.ButtonAt(x, empty.Height() / 2) != 0) lastButtonColumn = x;
    }
    bool lineShown = false;
    for (int y = 0; y < empty.Height(); ++y) {
        for (int x = 0; x < empty.Width(); ++x) {
            const size_t i = static_cast<size_t>(y) * empty.Width() + x;
            // A line too long for the strip ends before the strip's edge, and never covers a button.
            const bool clear = x <= lastButtonColumn || x >= empty.Width() - 3;
            if (clear && a[i] != b[i]) {
                ADD_FAILURE() << "the line drew at " << x << "," << y;
                return;
            }
            lineShown = lineShown || a[i] != b[i];
        }
    }
    EXPECT_TRUE(lineShown);
}

TEST(PanelStrip, AHeldButtonIsDrawnHeld) {
    PanelStrip strip(800, true);
    const std::vector<uint16_t> up = strip.Pixels();
    EXPECT_TRUE(strip.SetPressed(KEY_DOWN));
    EXPECT_NE(strip.Pixels(), up);
    EXPECT_TRUE(strip.SetPressed(0));
    EXPECT_EQ(strip.Pixels(), up);
}
