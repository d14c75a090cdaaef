// Builds without SDL2 (the device's architecture, ThreadSanitizer) have no window to offer.
#include "sim/SimWindow.h"

std::unique_ptr<SimWindow> SimWindow::Open(const Setup&, std::string* error) {
    *error = "--window is not available: this tovrask-sim was built without SDL2";
    return nullptr;
}
