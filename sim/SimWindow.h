#pragma once

#include <functional>
#include <memory>
#include <string>

class ConsoleRelay;
class KeyFeeder;
namespace platform {
class HostFramebuffer;
}

// The simulator's window (--window): shows every flushed frame, the front panel's keys as
// buttons and the program's last console line, and turns the keyboard and the buttons into key
// presses in the simulator's key device. It runs on a thread of its own; the program does not
// know it exists.
class SimWindow {
public:
    struct Setup {
        platform::HostFramebuffer* framebuffer = nullptr;
        ConsoleRelay* console = nullptr;
        KeyFeeder* keys = nullptr;
        int width = 0;
        int height = 0;
        int lineLength = 0;  // bytes per framebuffer row
        int scale = 1;
        std::function<void()> closed;  // the user closed the window; called on the window's thread
    };

    virtual ~SimWindow() = default;

    // Takes the window away; returns once it is gone, or at once on the window's own thread.
    // Safe to call more than once.
    virtual void Close() = 0;

    // The open window, showing the framebuffer from now on; null with a one-line reason when no
    // window can be opened (no display, or a build without a window library).
    static std::unique_ptr<SimWindow> Open(const Setup& setup, std::string* error);
};
