// The device program on a workstation: the same program over a simulated device under --root.
#include <cstdio>
#include <string>

#include "sim/SimOptions.h"
#include "sim/Simulator.h"

int main(int argc, char** argv) {
    SimOptions options;
    std::string error;
    if (!options.Parse(argc, argv, &error)) {
        if (error.empty()) {
            std::fputs(SimOptions::Usage(), stdout);
            return 0;
        }
        std::fprintf(stderr, "tovrask-sim: %s\n%s", error.c_str(), SimOptions::Usage());
        return 64;  // a status the program itself never uses
    }
    // The program leaves with exit(), which leaves this frame, and the simulator in it, alone.
    Simulator simulator(options);
    return simulator.Run();
}
