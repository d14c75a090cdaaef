#pragma once

#include <cstdint>

// The boot manager's own events, posted by its dialogs and handled by the boot state machine.
enum ApplicationEvent : int32_t {
    evPassword = 1001,      // param: the value of the typed code
    evMenuUpdate = 1010,
    evMenuReset = 1011,
    evMenuStart = 1012,
    evFileSelected = 1020,  // param: index of the chosen update file
};
