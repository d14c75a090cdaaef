#include "app/KeyMap.h"

#include <linux/input-event-codes.h>

namespace {

struct KeyBinding {
    uint16_t code;
    int32_t type;
    int64_t param;
};

constexpr KeyBinding kBindings[] = {
    {KEY_ESC, evCancel, 0},  {KEY_F7, evCancel, 0},  {KEY_ENTER, evEnter, 0},
    {KEY_F6, evEnter, 0},    {KEY_F1, evKeyF1, 0},   {KEY_F9, evStep, +1},
    {KEY_DOWN, evStep, +1},  {KEY_F10, evStep, -1},  {KEY_UP, evStep, -1},
};

}  // namespace

bool KeyToEvent(uint16_t code, Event* out) {
    for (const KeyBinding& b : kBindings) {
        if (b.code == code) {
            *out = Event(b.type, b.param, 0);
            return true;
        }
    }
    return false;
}
