#pragma once

#include <cstdint>

#include "gui/Event.h"

// The front panel's keys as events: ESC and F7 cancel, ENTER and F6 accept, F1 asks for the
// menu, DOWN and F9 step +1, UP and F10 step -1. Any other code makes no event.
bool KeyToEvent(uint16_t code, Event* out);
