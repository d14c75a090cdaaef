#include <gtest/gtest.h>

#include "gui/EventContainer.h"
#include "gui/NowMs.h"
#include "tests/gui/GuiFixture.h"

class EventContainerTest : public GuiFixture {
protected:
    void SetClock(long seconds, long milliseconds) { host.Clock().Set({seconds, milliseconds * 1000000}); }
};

TEST_F(EventContainerTest, RingHoldsNineEventsAndKeepsTheirOrder) {
    for (int i = 1; i <= 10; ++i) events.Post(Event(evStep, i));
    Event e;
    for (int i = 1; i <= 9; ++i) {
        ASSERT_TRUE(events.Take(&e));
        EXPECT_EQ(e.param, i);
    }
    EXPECT_FALSE(events.Take(&e));  // the tenth was dropped
    // The indices wrap around the ten slots.
    events.Post(Event(evEnter));
    ASSERT_TRUE(events.Take(&e));
    EXPECT_EQ(e.type, evEnter);
}

TEST_F(EventContainerTest, DueTimersPostTimeoutsInOrder) {
    SetClock(100, 0);
    EXPECT_EQ(gui::NowMs(), 0);  // the first reading is the base
    SetClock(101, 250);
    EXPECT_EQ(gui::NowMs(), 1250);

    RecordingWidget a(nullptr), b(nullptr), c(nullptr);
    events.AddTimer(&a, 1000);
    events.AddTimer(&b, 5000);
    events.AddTimer(&c, 1250);
    events.AddTimer(&a, 1200);
    events.RemoveTimers(&a);
    events.AddTimer(&a, 1100);
    events.ProcessTimers();
    Event e;
    ASSERT_TRUE(events.Take(&e));
    EXPECT_EQ(e.type, evTimeout);
    EXPECT_EQ(e.param, gui::Identity(&c));  // due exactly now
    ASSERT_TRUE(events.Take(&e));
    EXPECT_EQ(e.param, gui::Identity(&a));
    EXPECT_FALSE(events.Take(&e));
    ASSERT_EQ(events.timers.size(), 1u);
    EXPECT_EQ(events.timers[0].widget, &b);
    events.timers.clear();
}

TEST_F(EventContainerTest, ATimeoutReachesItsWidgetThroughTheFocusChain) {
    RecordingWidget parent(nullptr, "parent", true);
    RecordingWidget* child = new RecordingWidget(&parent, "child", true);
    Manager().focus = child;
    testing::internal::CaptureStdout();
    Manager().Dispatch(Event(evTimeout, gui::Identity(&parent)));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Widget::ProcessTimeout.\n");
    EXPECT_EQ(child->seen.size(), 1u);  // offered first, not taken
    Manager().focus = nullptr;
}
