#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The simulator's key script: key names (ESC F7 ENTER F6 F1 F9 F10 UP DOWN), "wait:MS",
// "until:TEXT" (TEXT in double quotes may hold spaces) and "stop", separated by white space.
struct KeyScript {
    struct Step {
        enum Kind { Key, Wait, Until, Stop } kind = Key;
        uint16_t code = 0;   // Key: the Linux key code
        long waitMs = 0;     // Wait
        std::string text;    // Until
    };

    std::vector<Step> steps;

    // On an unknown word returns false with the reason in error.
    bool Parse(const std::string& script, std::string* error);
};
