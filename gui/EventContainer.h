#pragma once

#include <cstdint>
#include <vector>

#include "gui/Event.h"
#include "gui/Timer.h"

// The event ring (10 slots, so at most 9 waiting events) and the timer list. Posting and taking
// never allocate; a full ring drops the new event without a word.
class EventContainer {
public:
    static constexpr int kSlots = 10;

    EventContainer();

    void Post(const Event& e);
    bool Take(Event* out);
    bool IsFull() const { return (writeIndex + 1) % kSlots == readIndex; }
    bool IsEmpty() const { return writeIndex == readIndex; }

    // Nothing in the program starts a timer; tests use this to reach the timer path.
    void AddTimer(const gui::Widget* widget, int32_t due);
    void RemoveTimers(const gui::Widget* widget);
    // Posts evTimeout for every due timer and forgets it; reads the clock only if there are any.
    void ProcessTimers();

    Event events[kSlots];
    int32_t writeIndex = 0;
    int32_t readIndex = 0;
    std::vector<gui::Timer> timers;
};
