#pragma once

#include <string>

#include "platform/HostFramebuffer.h"
#include "sim/KeyScript.h"

// The simulator's command line:
//   tovrask-sim --root DIR [--size WxH] [--line-length BYTES] [--bpp N]
//               [--keys SCRIPT] [--screenshot FILE.png] [--frames DIR]
//               [--fb-fail open|fixed|variable|map] [--clock-rate R] [--timeout-ms N] [--stats]
//               [--window [--scale N]]
struct SimOptions {
    std::string root;
    platform::HostFramebuffer::Config framebuffer;
    KeyScript keys;
    std::string screenshot;
    double clockRate = 1.0;
    long timeoutMs = 0;  // 0: none
    bool stats = false;  // at exit, what the flushes wrote, on stderr
    bool window = false;
    int scale = 1;  // the window's pixels per display pixel

    // On a usage error returns false with the reason in error.
    bool Parse(int argc, char** argv, std::string* error);

    static const char* Usage();
};
