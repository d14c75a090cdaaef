#pragma once

#include "tovrask/PlatformInfo.h"

// Reads the device model and display variant from the kernel command line ("qlx=", "lcdt=") and
// the board from the "Hardware" line of /proc/cpuinfo; what cannot be found keeps its value.
// Prints "Device Type %i." and "CPU Type %i.".
void DetectPlatform(PlatformInfo& platform);

// The two halves, on texts already read (used by DetectPlatform, and by tests and fuzzing).
void DetectFromCommandLine(const char* text, int length, PlatformInfo& platform);
// One line of /proc/cpuinfo; true when it named a known board (reading stops there).
bool DetectFromCpuInfoLine(const char* line, PlatformInfo& platform);
