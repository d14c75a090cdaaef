#include <gtest/gtest.h>

#include <cstdio>

#include "tests/engine/EngineFixture.h"
#include "tests/gui/GuiFixture.h"

using gui::Rect;

namespace {

std::string IndirectLine(const void* w) {
    char line[64];
    std::snprintf(line, sizeof(line), "Focus set indirectly to 0x%x.\n",
                  static_cast<unsigned>(reinterpret_cast<uintptr_t>(w)));
    return line;
}

}  // namespace

class WidgetTest : public GuiFixture {
protected:
    // root
    //  +- a (not focusable)
    //  |   +- a1 (focusable)
    //  +- b (focusable)
    WidgetTest()
        : tree(nullptr, "root"),
          a(new RecordingWidget(&tree, "a")),
          a1(new RecordingWidget(a, "a1", true)),
          b(new RecordingWidget(&tree, "b", true)) {
        for (RecordingWidget* w : {&tree, a, a1, b}) w->log = &log;
        tree.SetTreeDirty(false);
    }

    RecordingWidget tree;
    RecordingWidget* a;
    RecordingWidget* a1;
    RecordingWidget* b;
    std::vector<std::string> log;
};

TEST_F(WidgetTest, FocusRulesAndTheirLines) {
    struct Case {
        gui::Widget* target;
        gui::Widget* focus;
        std::string line;
    };
    const Case cases[] = {
        {b, b, "Focus set directly.\n"},
        {a, a1, IndirectLine(a1)},          // a's first focusable child
        {&tree, b, IndirectLine(b)},        // direct children only: a1 is not searched
        {a1, a1, "Focus set directly.\n"},
        {a1, a1, ""},                       // already the focus: nothing at all
        {nullptr, nullptr, ""},
    };
    for (const Case& c : cases) {
        tree.SetTreeDirty(false);
        gui::Widget* old = Manager().focus;
        testing::internal::CaptureStdout();
        gui::SetFocus(c.target);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), c.line);
        EXPECT_EQ(Manager().focus, c.focus);
        if (c.target != old) {
            if (old != nullptr) {
                EXPECT_TRUE(old->IsDirty()) << "the old focus is drawn again";
            }
            if (c.focus != nullptr) {
                EXPECT_TRUE(c.focus->IsDirty());
            }
        } else {
            EXPECT_FALSE(tree.IsTreeDirty());
        }
    }
    RecordingWidget lonely(nullptr);
    testing::internal::CaptureStdout();
    gui::SetFocus(&lonely);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Focus set indirectly to 0x0.\n");
    EXPECT_EQ(Manager().focus, nullptr);
}

TEST_F(WidgetTest, EventsTravelUpTheFocusChain) {
    Manager().focus = a1;
    tree.handles = evEnter;
    Manager().Dispatch(Event(evEnter));
    EXPECT_EQ(log, (std::vector<std::string>{"a1", "a", "root"}));
    log.clear();
    a->handles = evStep;
    Manager().Dispatch(Event(evStep, 1));
    EXPECT_EQ(log, (std::vector<std::string>{"a1", "a"}));
    log.clear();
    Manager().Dispatch(Event(evKeyF1));  // nobody takes it: dropped
    EXPECT_EQ(log.size(), 3u);

    Manager().focus = nullptr;
    testing::internal::CaptureStdout();
    Manager().Dispatch(Event(evEnter));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "WidgetManager: There is no focus widget.\n");
}

TEST_F(WidgetTest, DeletingASubtreeWithTheFocusMovesItToTheParentFirst) {
    gui::SetFocus(a1);
    testing::internal::CaptureStdout();
    EXPECT_TRUE(tree.DeleteChild(a));
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "Setting focus to parent.\n" + IndirectLine(b) + "1 children left.\nDeleting child.\n");
    EXPECT_EQ(Manager().focus, b);
    EXPECT_EQ(tree.children, std::vector<gui::Widget*>{b});

    testing::internal::CaptureStdout();
    RecordingWidget stranger(nullptr);
    EXPECT_FALSE(tree.DeleteChild(&stranger));
    EXPECT_EQ(tree.RemoveChild(nullptr), nullptr);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Child not found.\n");
}

TEST_F(WidgetTest, RelativeRectanglesStartInTheParentsClientArea) {
    tree.SetRect(Rect(10, 20, 200, 100), false);
    tree.client = Rect(4, 30, 192, 66);
    b->SetRect(Rect(0, 0, 50, 10), true);
    EXPECT_EQ(b->rect, Rect(14, 50, 50, 10));
    EXPECT_EQ(b->client, Rect(0, 0, 50, 10));
    tree.SetRect(Rect(5, 5, 10, 10), true);  // no parent: taken as it is
    EXPECT_EQ(tree.rect, Rect(5, 5, 10, 10));
    EXPECT_FALSE(b->IsDirty()) << "positioning does not mark";
}

TEST_F(WidgetTest, RedrawTakesOnePassToDrawAndOneToFlush) {
    Manager().mainWidget = &tree;
    Manager().Update();  // nothing dirty: stays idle
    EXPECT_EQ(Manager().redrawState, 0);
    EXPECT_EQ(a1->draws, 0);

    a1->SetDirty(true);
    Manager().Update();
    EXPECT_EQ(Manager().redrawState, 2);
    EXPECT_EQ(a1->draws, 1);

    // A child that stays dirty is drawn again next pass; its children wait until then.
    Manager().redrawState = 0;
    a->stayDirty = 1;
    a->SetDirty(true);
    a1->SetDirty(true);
    Manager().Update();
    EXPECT_EQ(Manager().redrawState, 1);
    EXPECT_EQ(a1->draws, 1);
    Manager().Update();
    EXPECT_EQ(Manager().redrawState, 2);
    EXPECT_EQ(a->draws, 2);
    EXPECT_EQ(a1->draws, 2);
    Manager().mainWidget = nullptr;
}

TEST_F(WidgetTest, PostingWithoutAQueueSaysSo) {
    Manager().container = nullptr;
    testing::internal::CaptureStdout();
    b->PostEvent(evEnter);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "No access to the EventContainer.\n");
    Manager().container = &events;
    b->PostEvent(evStep, -1);
    Event e;
    ASSERT_TRUE(events.Take(&e));
    EXPECT_EQ(e.param, -1);
}

class FocusFrameTest : public EngineFixture {};

TEST_F(FocusFrameTest, FocusWidgetsGetATwoPixelFrame) {
    RecordingWidget w(nullptr, "w", true);
    w.frameColour = 0x000000FF;
    w.focusFrameColour = 0x00FF0000;
    w.backgroundColour = 0x0000FF00;
    gui::ScreenPort port;
    gui::Painter p(&port);
    gui::WidgetManager::Instance().focus = nullptr;
    EXPECT_EQ(w.DrawFocusFrame(p, Rect(0, 0, 6, 6), true), 1);
    EXPECT_EQ(At(0, 0), 0x001F);
    EXPECT_EQ(At(1, 1), 0x07E0);
    gui::WidgetManager::Instance().focus = &w;
    EXPECT_EQ(w.DrawFocusFrame(p, Rect(10, 0, 6, 6), false), 2);
    EXPECT_EQ(At(11, 1), 0xF800);
    EXPECT_EQ(At(12, 2), kBackground);  // not filled
    gui::WidgetManager::Instance().focus = nullptr;
}
