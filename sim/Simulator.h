#pragma once

#include <memory>

#include "platform/HostSystem.h"
#include "sim/ConsoleRelay.h"
#include "sim/KeyFeeder.h"
#include "sim/SimOptions.h"
#include "sim/SimWindow.h"

// Runs the device program over a simulated device: installs the host backend, feeds the key
// script, writes the screenshot when the program exits, and ends with status 124 a run that
// outlives its timeout or that its script stops.
class Simulator {
public:
    explicit Simulator(const SimOptions& options);
    // Only reached when Run returned: once the program runs, it leaves with exit().
    ~Simulator();
    Simulator(const Simulator&) = delete;
    Simulator& operator=(const Simulator&) = delete;

    // Returns only when the simulated device cannot be set up (status 64).
    int Run();

private:
    static void AtExit();
    // Ends the run from a thread of the simulator's own, as if the device were switched off.
    [[noreturn]] static void End(const std::string& why);
    void StartWatchdog();
    // False with the reason when --window asks for a window that cannot be opened.
    bool OpenWindow(std::string* error);

    SimOptions options_;
    // These live until the process ends: the program leaves with exit().
    platform::HostSystem* system_;
    ConsoleRelay* console_;
    KeyFeeder* keys_;
    std::unique_ptr<SimWindow> window_;  // with --window only
};
