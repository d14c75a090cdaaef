#include <gtest/gtest.h>

#include "gui/WidgetEditBox.h"
#include "tests/gui/GuiFixture.h"
#include "tests/gui/ScreenCheck.h"

using gui::WidgetEditBox;

namespace {

class Parent : public RecordingWidget {
public:
    using RecordingWidget::RecordingWidget;
    void OnChildChanged(gui::Widget*) override { ++changes; }
    int changes = 0;
};

std::string Text(const WidgetEditBox& box) {
    std::string out;
    box.GetText(out);
    return out;
}

}  // namespace

TEST(EditBox, PasswordEntryThroughAFullKeySequence) {
    Parent dialog(nullptr);
    WidgetEditBox& box = *new WidgetEditBox("", &dialog);  // the dialog owns it
    box.caseMode = 0;
    box.SetCharsetHexadecimal();
    box.SetMaxLength(6);
    box.SetActive(true);
    struct Step {
        Event key;
        bool handled;
        std::string text;
        int cursor;
    };
    const Step steps[] = {
        {Event(evStep, 1), true, "0", 0},    // inserts charset[0] at the marker
        {Event(evStep, 1), true, "1", 0},
        {Event(evStep, -1), true, "0", 0},
        {Event(evStep, -1), true, "F", 0},   // wraps
        {Event(evEnter), true, "F", 1},      // on to the marker
        {Event(evStep, 1), true, "F0", 1},   // appends
        {Event(evEnter), true, "F0", 2},
        {Event(evStep, -1), true, "F00", 2}, // either direction appends charset[0]
        {Event(evEnter), true, "F00", 3},
        {Event(evStep, 1), true, "F000", 3},
        {Event(evEnter), true, "F000", 4},
        {Event(evStep, 1), true, "F0000", 4},
        {Event(evEnter), true, "F0000", 5},
        {Event(evStep, 1), true, "F00000", 5},
        {Event(evEnter), true, "F00000", 6},
        {Event(evStep, 1), true, "F00000", 6},  // six is the most
        {Event(evEnter), false, "F00000", 0},   // finished: forwarded to the dialog
    };
    for (const Step& s : steps) {
        EXPECT_EQ(box.OnEvent(s.key), s.handled);
        EXPECT_EQ(Text(box), s.text);
        EXPECT_EQ(box.cursor, s.cursor);
    }
    EXPECT_FALSE(box.active);
    EXPECT_EQ(dialog.changes, 9);
    EXPECT_FALSE(box.OnEvent(Event(evStep, 1))) << "inactive boxes leave steps to the dialog";
    box.forwardEnter = false;
    EXPECT_TRUE(box.OnEvent(Event(evEnter)));  // starts editing again
    EXPECT_TRUE(box.active);
    EXPECT_EQ(box.cursor, 0);
}

TEST(EditBox, CaseModesAndCharactersOutsideTheSet) {
    struct Case {
        int mode;
        const char* start;
        std::vector<Event> keys;
        std::string text;
    };
    const Case cases[] = {
        {2, "", {Event(evStep, 1), Event(evEnter), Event(evStep, 1), Event(evStep, 1)}, "Ab"},
        {1, "", {Event(evStep, -1)}, "a"},
        {0, "x", {Event(evStep, 1)}, "Y"},     // found through its upper-case form
        {2, "?a", {Event(evStep, 1)}, "A"  "a"},  // not in the set: becomes charset[0]
        {2, "Z", {Event(evStep, 1)}, " "},    // the default set ends with a space
        {2, "A", {Event(evStep, 100)}, "T"},  // any number of steps wraps: 100 mod 27
    };
    for (const Case& c : cases) {
        WidgetEditBox box(c.start, nullptr);
        box.caseMode = c.mode;
        box.active = true;
        box.MoveCursor(0);
        for (const Event& e : c.keys) EXPECT_TRUE(box.OnEvent(e));
        EXPECT_EQ(Text(box), c.text) << c.start << " mode " << c.mode;
    }
}

TEST(EditBox, CancelEndsEditingOrGoesOn) {
    WidgetEditBox box("AB", nullptr);
    box.SetActive(true);
    box.MoveCursor(1);
    EXPECT_TRUE(box.OnEvent(Event(evCancel)));
    EXPECT_FALSE(box.active);
    EXPECT_EQ(box.cursor, 0);
    EXPECT_FALSE(box.OnEvent(Event(evCancel))) << "nothing to end now";
    box.forwardCancel = true;
    box.SetActive(true);
    EXPECT_FALSE(box.OnEvent(Event(evCancel)));
    EXPECT_FALSE(box.active);
    EXPECT_FALSE(box.OnEvent(Event(evKeyF1)));
}

TEST(EditBox, CursorAndLengthLimits) {
    WidgetEditBox box("ABCDEFGHIJKL", nullptr);
    EXPECT_EQ(Text(box), "ABCDEFGHIJKL") << "the constructor's text is not cut";
    box.MoveCursor(2);
    box.MoveCursor(-5);
    EXPECT_EQ(box.cursor, 0);
    EXPECT_EQ(box.before, "");
    box.MoveCursor(100);
    EXPECT_EQ(box.cursor, 12);
    EXPECT_EQ(box.cursorChar[0], WidgetEditBox::kEndMarker);
    box.MoveCursor(-10);
    EXPECT_EQ(box.before, "AB");
    EXPECT_EQ(box.cursorChar[0], 'c');  // lower case away from position 0
    EXPECT_EQ(box.after, std::string("DEFGHIJKL") + WidgetEditBox::kEndMarker);

    WidgetEditBox six("ABCDEF", nullptr);
    six.SetMaxLength(3);
    EXPECT_EQ(six.text, std::string("ABC") + WidgetEditBox::kEndMarker);
    six.SetRect(gui::Rect(10, 10, 100, 28), false);
    EXPECT_EQ(six.client, gui::Rect::FromEdges(4, 3, 96, 24));
}

// A box at x 2..101, y 2..29: a 1-pixel grey frame, the client area from x 6 and the text's
// middle line at y (5 + 26) / 2 = 15. The built-in font's boxes are 21 high from 17 above the
// baseline, and 40 % down such a box is trunc(-17 + 8.4) = -8: every baseline lies at y 23 and
// every text box covers y 6..26.
class EditBoxDrawing : public ::testing::Test {
protected:
    EditBoxDrawing() : check(110, 34, 0x0841), box("AB", nullptr) {
        box.caseMode = 0;
        box.SetRect(gui::Rect(2, 2, 100, 28), false);
    }
    void ExpectFrame(gui::Pixel inside) {
        check.Fill(box.rect, gui::ToPixel(0x808080));
        check.Fill(gui::Rect::FromEdges(3, 3, 100, 28), inside);
    }
    void ExpectBar(int x) { check.Fill(gui::Rect::FromEdges(x, 6, x, 26), 0x0000); }

    ScreenCheck check;
    WidgetEditBox box;
};

TEST_F(EditBoxDrawing, TheCursorIsShownInvertedBetweenTwoBars) {
    struct Case {
        int cursor;
        const char *before, *under, *after;
        int underLeft, underRight;  // "A" and "B" advance 13, the end marker 16
    };
    const Case cases[] = {
        {0, "", "A", "B\x02", 6, 18},  // nothing before: the cursor starts at the client's left
        {1, "A", "B", "\x02", 19, 31},
        {2, "AB", "\x02", "", 32, 47},
    };
    for (const Case& c : cases) {
        box.SetActive(true);
        box.cursor = 0;
        box.MoveCursor(c.cursor);
        box.Draw();
        EXPECT_FALSE(box.IsDirty());
        // Black on yellow while active, the cursor's character yellow on black; each bar is
        // painted after the text it touches.
        ExpectFrame(0xFFE0);
        check.Text(6, 23, c.before, 0x00000000);
        check.Fill(gui::Rect::FromEdges(c.underLeft, 6, c.underRight, 26), 0x0000);
        check.Text(c.underLeft, 23, c.under, 0x00FFFF00);
        ExpectBar(c.underLeft - 1);
        check.Text(c.underRight + 1, 23, c.after, 0x00000000);
        ExpectBar(c.underRight + 1);
        EXPECT_EQ(check.Differences(), "") << "cursor " << c.cursor;
    }
    box.SetActive(false);
    box.Draw();
    ExpectFrame(0xFFFF);
    check.Text(6, 23, "AB\x02", 0x00000000);
    EXPECT_EQ(check.Differences(), "") << "inactive: the whole text, marker included, no cursor";
}

TEST_F(EditBoxDrawing, WithoutItsFontTheBoxDrawsNothingAndWaits) {
    box.fontId = 7;  // not registered
    testing::internal::CaptureStdout();
    box.Draw();
    box.Draw();
    testing::internal::GetCapturedStdout();
    EXPECT_TRUE(box.IsDirty()) << "tried again at the next pass";
    EXPECT_EQ(check.Differences(), "");
    box.fontId = 0;
    box.Draw();
    EXPECT_FALSE(box.IsDirty());
    ExpectFrame(0xFFFF);
    check.Text(6, 23, "AB\x02", 0x00000000);
    EXPECT_EQ(check.Differences(), "");
}
