#include <gtest/gtest.h>

#include "Public/Common/MathEx.h"
#include "gui/WidgetControl.h"
#include "gui/WidgetProgressBar.h"
#include "gui/WidgetStatic.h"
#include "tests/engine/EngineFixture.h"
#include "tests/gui/GuiFixture.h"
#include "tests/gui/ScreenCheck.h"

using gui::Rect;

class Control : public gui::WidgetControl {
public:
    using gui::WidgetControl::WidgetControl;
    void Draw() override { SetDirty(false); }
};

TEST(WidgetControl, ActiveControlsUseTheirOwnColours) {
    Control c(nullptr);
    EXPECT_TRUE(c.focusable);
    c.textColour = 0x00123456;
    c.backgroundColour = 0x00654321;
    EXPECT_EQ(c.TextColour(), 0x00123456u);
    c.SetDirty(false);
    c.SetActive(true);
    EXPECT_TRUE(c.IsDirty());
    EXPECT_EQ(c.TextColour(), 0x00000000u);
    EXPECT_EQ(c.BackgroundColour(), 0x00FFFF00u);
    c.SetDirty(false);
    c.SetActive(true);
    EXPECT_FALSE(c.IsDirty()) << "the same state again marks nothing";
}

TEST(GetMinMax, ClampsAndInsistsOnAnOrderedRange) {
    EXPECT_EQ(common::GetMinMax(-5, 0, 100), 0);
    EXPECT_EQ(common::GetMinMax(250, 0, 100), 100);
    EXPECT_EQ(common::GetMinMax(7, 7, 7), 7);
    EXPECT_EQ(common::GetMinMax(0.5f, 0.0f, 1.0f), 0.5f);
    EXPECT_DEATH(common::GetMinMax(1, 5, 4), "fMin <= fMax");
}

class ProgressBarTest : public EngineFixture {};

TEST_F(ProgressBarTest, FillsItsShareOfTheInnerWidth) {
    ScopedScreen wide(120, 20);
    gui::WidgetProgressBar bar(nullptr);
    bar.SetRect(Rect(2, 2, 106, 12), false);
    bar.barColour = 0x00FF0000;
    bar.backgroundColour = 0x0000FF00;
    auto barPixels = [&](int row) {
        int n = 0;
        for (int x = 0; x < 120; ++x) n += wide.At(x, row) == 0xF800;
        return n;
    };
    struct Case {
        int value, minimum, maximum, shown, pixels;
    };
    const Case cases[] = {
        {0, 0, 100, 0, 0}, {50, 0, 100, 50, 50}, {100, 0, 100, 100, 100},
        {-5, 0, 100, 0, 0}, {250, 0, 100, 100, 100}, {3, 3, 3, 3, 0},  // an empty range: empty bar
        {0, -2000000000, 2000000000, 0, 50},  // a range wider than 32 bits
    };
    for (const Case& c : cases) {
        bar.minimum = c.minimum;
        bar.maximum = c.maximum;
        bar.SetValue(c.value);
        EXPECT_EQ(bar.value, c.shown);
        bar.Draw();
        EXPECT_FALSE(bar.IsDirty());
        for (int row = 5; row <= 10; ++row) EXPECT_EQ(barPixels(row), c.pixels) << c.value << " row " << row;
        EXPECT_EQ(barPixels(4), 0) << "the frame and the gap stay out of the bar";
    }
    EXPECT_EQ(wide.At(2, 2), gui::ToPixel(0x808080)) << "a 1-pixel grey frame";
}

TEST_F(ProgressBarTest, OnlyAChangeOfWhatItShowsIsDrawnAgain) {
    // Verification sets the bar once per 8 KiB step, mostly to the value it already shows.
    gui::WidgetProgressBar bar(nullptr);
    bar.SetValue(40);
    struct Case {
        int value, minimum, maximum;
        bool dirty;
    };
    const Case cases[] = {
        {40, 0, 100, false}, {41, 0, 100, true},  {41, 0, 100, false}, {500, 0, 100, true},
        {100, 0, 100, false},  // clamped to what is shown already
        {100, 0, 200, true},   // the same value in a new range is a shorter bar
        {100, 0, 200, false},
    };
    for (const Case& c : cases) {
        bar.SetDirty(false);
        bar.minimum = c.minimum;
        bar.maximum = c.maximum;
        bar.SetValue(c.value);
        EXPECT_EQ(bar.IsDirty(), c.dirty) << c.value << " of " << c.minimum << ".." << c.maximum;
    }
}

class StaticTest : public EngineFixture {};

TEST_F(StaticTest, AnchorsPlaceTheTextAndTheParentGivesTheBackground) {
    // No font is registered here: the text itself is not drawn, the fill shows the client area.
    Control window(nullptr);
    window.backgroundColour = 0x00C0C0C0;
    gui::WidgetStatic& label = *new gui::WidgetStatic("", &window);  // the window owns it
    EXPECT_EQ(label.backgroundColour, 0x00C0C0C0u);
    label.SetRect(Rect(2, 2, 10, 5), false);
    label.Draw();  // empty text: nothing drawn, nothing left dirty
    EXPECT_FALSE(label.IsDirty());
    EXPECT_TRUE(Changed().empty());
    label.text = "x";
    label.SetDirty(true);
    testing::internal::CaptureStdout();
    label.Draw();
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(At(2, 2), gui::ToPixel(0xC0C0C0));
    EXPECT_EQ(At(11, 6), gui::ToPixel(0xC0C0C0));
    EXPECT_EQ(At(12, 6), kBackground);
}

TEST_F(StaticTest, TextMeetsTheWholeRectangleAtItsAnchors) {
    // "AB" measures 26 x 21 (advances 13 + 13; top -17, bottom 3) in the built-in font. The label
    // covers x 10..69, y 5..34; the text's origin follows from matching the fractional points.
    struct Case {
        float anchorX, anchorY;
        int originX, originY;
    };
    const Case cases[] = {
        {0.0f, 0.0f, 10, 5 + 17},        // box top-left at the rectangle's
        {0.5f, 0.5f, 40 - 13, 20 - -6},  // (40, 20) meets the box's (13, trunc(-6.5))
        {1.0f, 1.0f, 70 - 26, 35 - 4},   // box bottom-right at x 69, y 34
        {1.0f, 0.0f, 70 - 26, 5 + 17},   // top-right: each anchor on its own axis
    };
    for (const Case& c : cases) {
        ScreenCheck check(80, 40, kBackground);
        gui::WidgetStatic label("AB", nullptr);
        label.SetRect(Rect(10, 5, 60, 30), false);
        label.textColour = 0x000000FF;
        label.backgroundColour = 0x00C0C0C0;
        label.anchorX = c.anchorX;
        label.anchorY = c.anchorY;
        label.Draw();
        EXPECT_FALSE(label.IsDirty());
        check.Fill(label.rect, gui::ToPixel(0xC0C0C0));
        check.Text(c.originX, c.originY, "AB", 0x000000FF);
        EXPECT_EQ(check.Differences(), "") << c.anchorX << ", " << c.anchorY;
    }
}
