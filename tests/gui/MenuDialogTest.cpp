#include <gtest/gtest.h>

#include "gui/MenuItem.h"
#include "gui/WidgetDialog.h"
#include "gui/WidgetMenu.h"
#include "tests/engine/EngineFixture.h"
#include "tests/gui/GuiFixture.h"
#include "tests/gui/ScreenCheck.h"

using gui::Rect;

class MenuTest : public GuiFixture {
protected:
    gui::WidgetMenu* Menu(int items, int height) {
        menu = new gui::WidgetMenu(nullptr);
        menu->SetRect(Rect(0, 0, 100, height), false);
        for (int i = 0; i < items; ++i) menu->AddItem(new gui::MenuItem(10 + i, "item"));
        return menu;
    }
    ~MenuTest() override { delete menu; }
    gui::WidgetMenu* menu = nullptr;
};

TEST_F(MenuTest, SelectionScrollsTheVisibleRows) {
    Menu(10, 130);
    EXPECT_EQ(menu->VisibleRows(), 3);
    const struct {
        int step, selected, first;
    } steps[] = {{1, 1, 0}, {1, 2, 0}, {1, 3, 1}, {-1, 2, 1}, {-1, 1, 1}, {-1, 0, 0}, {-1, 0, 0},
                 {100, 9, 7}, {0, 9, 7}, {-4, 5, 5}};
    for (const auto& s : steps) {
        menu->SetDirty(false);
        EXPECT_TRUE(menu->OnEvent(Event(evStep, s.step)));
        EXPECT_TRUE(menu->IsDirty());
        EXPECT_EQ(menu->selected, s.selected) << s.step;
        EXPECT_EQ(menu->firstVisible, s.first) << s.step;
    }
    EXPECT_EQ(menu->SelectedValue(), 15);
    EXPECT_FALSE(menu->OnEvent(Event(evEnter)));
    EXPECT_FALSE(menu->OnEvent(Event(evCancel)));
}

TEST_F(MenuTest, StepsStopAtTheEnds) {
    Menu(3, 200);
    menu->OnEvent(Event(evStep, 5));
    EXPECT_EQ(menu->selected, 2);
    EXPECT_EQ(menu->firstVisible, 0);
    menu->AddItem(new gui::MenuItem(99, "late"));
    EXPECT_EQ(menu->selected, 2) << "adding does not move the selection";
    EXPECT_EQ(menu->items.back()->value, 99);
    EXPECT_EQ(menu->items.back()->menu, menu);
}

TEST_F(MenuTest, AnEmptyMenuReportsNothing) {
    Menu(0, 100);
    EXPECT_EQ(menu->SelectedValue(), -1);
    menu->SetDirty(false);
    EXPECT_TRUE(menu->OnEvent(Event(evStep, 1)));
    EXPECT_TRUE(menu->IsDirty());
    EXPECT_EQ(menu->selected, 0);
    EXPECT_FALSE(menu->OnEvent(Event(evEnter)));
}

class MenuDrawingTest : public EngineFixture {};

TEST_F(MenuDrawingTest, ScrollBarThumbAndSelectedRow) {
    ScopedScreen screen(110, 140);
    gui::WidgetMenu menu(nullptr);
    menu.SetRect(Rect(0, 0, 100, 130), false);
    for (int i = 0; i < 10; ++i) menu.AddItem(new gui::MenuItem(i, ""));
    menu.OnEvent(Event(evStep, 3));  // firstVisible 1
    testing::internal::CaptureStdout();
    menu.Draw();
    testing::internal::GetCapturedStdout();
    auto at = [&](int x, int y) { return screen.At(x, y); };
    // Track: x 94..99, y 1..128, height 128: 12.8 a row; thumb from 1 + 12.8 = 13 for 38 rows.
    EXPECT_EQ(at(94, 5), 0xFFFF);   // the track's left line in the pen (white)
    EXPECT_EQ(at(97, 5), 0x0000);
    EXPECT_EQ(at(97, 12), 0x0000);
    EXPECT_EQ(at(97, 13), 0xFFFF);
    EXPECT_EQ(at(97, 50), 0xFFFF);
    EXPECT_EQ(at(97, 51), 0x0000);
    // The selected item (3) is the third visible row: y 84..125, up to x 93.
    EXPECT_EQ(at(0, 84), 0x0000);                    // its first line stays background
    EXPECT_EQ(at(0, 85), 0xFFE0);                    // yellow frame
    EXPECT_EQ(at(10, 95), gui::ToPixel(0x303030));   // upper half
    EXPECT_EQ(at(10, 110), 0x0000);                  // lower half
    EXPECT_EQ(at(93, 110), 0xFFE0);
    EXPECT_EQ(at(10, 123), 0xFFE0);
}

TEST_F(MenuDrawingTest, AnEmptyMenuSaysSoInTheMiddle) {
    ScreenCheck check(120, 80, kBackground);
    gui::WidgetMenu menu(nullptr);
    menu.SetRect(Rect(5, 5, 100, 60), false);
    menu.Draw();
    EXPECT_FALSE(menu.IsDirty());
    // "Empty" measures 62 x 22 (top -17, bottom 4): the menu's centre (55, 35) meets the box's
    // (31, trunc(-6)), so the baseline origin is (24, 41).
    check.Fill(menu.rect, 0x0000);
    check.Text(24, 41, "Empty", 0x00FFFFFF);
    EXPECT_EQ(check.Differences(), "");
}

TEST_F(MenuDrawingTest, LabelsFollowTheAnchorAcrossTheWholeRowWhenAllItemsFit) {
    // Three rows of 42 in 150 pixels: no scroll bar, so the items span the menu's full width.
    // Row i's item lies at x 6..93, y 42i + 3 .. 42i + 38; "AB" and "BA" measure 26 x 21, so the
    // baseline is at 42i + 21 - trunc(-6.5) and the origin x meets the anchored point of 6..93.
    struct Case {
        float anchor;
        int originX;
    };
    const Case cases[] = {{0.0f, 6}, {0.5f, 50 - 13}, {1.0f, 94 - 26}};
    for (const Case& c : cases) {
        ScreenCheck check(110, 160, kBackground);
        gui::WidgetMenu menu(nullptr);
        menu.SetRect(Rect(0, 0, 100, 150), false);
        menu.labelAnchorX = c.anchor;
        menu.AddItem(new gui::MenuItem(1, "AB"));
        menu.AddItem(new gui::MenuItem(2, "AB"));
        menu.AddItem(new gui::MenuItem(3, "BA"));
        menu.Draw();
        // Black with white labels and nothing at the right edge; the first row is selected:
        // a 3-pixel yellow frame round dark grey over black, split at row 42 / 2 = 21.
        check.Fill(menu.rect, 0x0000);
        check.Fill(Rect::FromEdges(0, 1, 99, 41), 0xFFE0);
        check.Fill(Rect::FromEdges(3, 4, 96, 20), gui::ToPixel(0x303030));
        check.Fill(Rect::FromEdges(3, 21, 96, 38), 0x0000);
        check.Text(c.originX, 27, "AB", 0x00FFFFFF);
        check.Text(c.originX, 42 + 27, "AB", 0x00FFFFFF);
        check.Text(c.originX, 84 + 27, "BA", 0x00FFFFFF);
        EXPECT_EQ(check.Differences(), "") << c.anchor;
    }
}

class DialogTest : public GuiFixture {
protected:
    DialogTest() : dialog("Title", nullptr) {
        first = new RecordingWidget(&dialog, "first", true);
        second = new RecordingWidget(&dialog, "second", false);
        third = new RecordingWidget(&dialog, "third", true);
        dialog.SetRect(Rect(10, 20, 200, 100), false);
    }
    gui::WidgetDialog dialog;
    RecordingWidget* first;
    RecordingWidget* second;
    RecordingWidget* third;
};

TEST_F(DialogTest, StepsMoveTheFocusAmongFocusableChildren) {
    const struct {
        RecordingWidget* from;
        int step;
        RecordingWidget* to;
    } cases[] = {{first, 1, third}, {third, 1, first}, {first, -1, third}, {first, 2, first},
                 {first, -3, third}, {first, 0, first}};
    for (const auto& c : cases) {
        Manager().focus = c.from;
        EXPECT_TRUE(dialog.OnEvent(Event(evStep, c.step)));
        EXPECT_EQ(Manager().focus, c.to) << c.from->name << " " << c.step;
    }
    third->focusable = false;
    Manager().focus = first;
    dialog.SetTreeDirty(false);
    EXPECT_TRUE(dialog.OnEvent(Event(evStep, 1)));
    EXPECT_EQ(Manager().focus, first);
    EXPECT_FALSE(dialog.IsTreeDirty()) << "a lone focusable child keeps the focus quietly";

    RecordingWidget* grandchild = new RecordingWidget(first, "deep", true);
    Manager().focus = grandchild;
    EXPECT_FALSE(dialog.OnEvent(Event(evStep, 1)));
    Manager().focus = nullptr;
    EXPECT_FALSE(dialog.OnEvent(Event(evStep, 1)));
}

TEST_F(DialogTest, CancelAnnouncesTheCloseAndTheDialogStays) {
    EXPECT_TRUE(dialog.OnEvent(Event(evCancel)));
    Event e;
    ASSERT_TRUE(events.Take(&e));
    EXPECT_EQ(e.type, evDialogClose);
    EXPECT_EQ(e.param, gui::Identity(&dialog));
    EXPECT_FALSE(events.Take(&e));
    EXPECT_FALSE(dialog.OnEvent(Event(evEnter)));
}

TEST_F(DialogTest, ClientAreaLiesBelowTheTitleBar) {
    EXPECT_EQ(dialog.client, Rect::FromEdges(4, 30, 195, 95));
    first->SetRect(Rect(0, 0, 20, 10), true);
    EXPECT_EQ(first->rect.left, 14);
    EXPECT_EQ(first->rect.top, 50);
    EXPECT_EQ(dialog.NextFocusable(2), 0u);
    EXPECT_EQ(dialog.PreviousFocusable(0), 2u);
}

TEST_F(DialogTest, DrawsItsTitleCentredInAThirtyPixelBar) {
    ScreenCheck check(220, 130, 0x0841);
    dialog.backgroundColour = 0x00C0C0C0;
    dialog.Draw();
    EXPECT_FALSE(dialog.IsDirty());
    // Bar 10..209 x 20..49: its centre (110, 35) meets the centre (22, trunc(-6.5)) of "Title"
    // (44 x 21), so the white title has its baseline origin at (88, 41).
    ExpectDialogFrame(check, dialog.rect, 30, 8, 0xFF1E00DC, gui::ToPixel(0xC0C0C0));
    check.Text(88, 41, "Title", 0x00FFFFFF);
    EXPECT_EQ(check.Differences(), "");
}
