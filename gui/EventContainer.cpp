#include "gui/EventContainer.h"

#include <algorithm>

#include "gui/NowMs.h"

EventContainer::EventContainer() { timers.reserve(10); }

void EventContainer::Post(const Event& e) {
    if (IsFull()) return;
    events[writeIndex] = e;
    writeIndex = (writeIndex + 1) % kSlots;
}

bool EventContainer::Take(Event* out) {
    if (writeIndex == readIndex) return false;
    *out = events[readIndex];
    readIndex = (readIndex + 1) % kSlots;
    return true;
}

void EventContainer::AddTimer(const gui::Widget* widget, int32_t due) { timers.push_back({widget, due}); }

void EventContainer::RemoveTimers(const gui::Widget* widget) {
    timers.erase(std::remove_if(timers.begin(), timers.end(),
                                [widget](const gui::Timer& t) { return t.widget == widget; }),
                 timers.end());
}

void EventContainer::ProcessTimers() {
    if (timers.empty()) return;
    const int32_t now = gui::NowMs();
    for (size_t i = 0; i < timers.size();) {
        // Signed difference, so a clock that wraps still finds its timers due.
        const int32_t late = static_cast<int32_t>(static_cast<uint32_t>(now) - static_cast<uint32_t>(timers[i].due));
        if (late >= 0) {
            Post(Event(evTimeout, gui::Identity(timers[i].widget), 0));
            timers.erase(timers.begin() + static_cast<long>(i));
        } else {
            ++i;
        }
    }
}
