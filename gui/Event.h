#pragma once

#include <cstdint>

// Event type codes of the toolkit. The application's own events start at 1000.
enum EventType : int32_t {
    evCancel = 2,
    evEnter = 3,
    evKeyF1 = 13,
    evStep = 101,
    evDialogClose = 501,
    evTimeout = 502,
};

// What travels through the event ring and up the focus chain; copied by value.
struct Event {
    int32_t type = 0;
    int32_t detail = 0;  // every event made here carries 0
    int64_t param = 0;   // steps for evStep, a widget's identity for evDialogClose and evTimeout

    Event() = default;
    Event(int32_t t, int64_t p = 0, int32_t d = 0) : type(t), detail(d), param(p) {}

    // The signed step count of evStep (the low 32 bits).
    int32_t Steps() const { return static_cast<int32_t>(param); }
};

namespace gui {
class Widget;
// A widget's identity in an event's param: its address, widened.
int64_t Identity(const Widget* widget);
}  // namespace gui
