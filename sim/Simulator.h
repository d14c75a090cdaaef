#pragma once

#include "platform/HostSystem.h"
#include "sim/SimOptions.h"

// Runs the device program over a simulated device: installs the host backend, writes the
// screenshot when the program exits, and ends a run that outlives its timeout with status 124.
class Simulator {
public:
    explicit Simulator(const SimOptions& options);

    [[noreturn]] void Run();

private:
    static void WriteScreenshotAtExit();
    void StartWatchdog();

    SimOptions options_;
    platform::HostSystem* system_;  // lives until the process ends
};
