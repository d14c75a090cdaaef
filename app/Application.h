#pragma once

#include <cstdint>

#include "gui/engine/ScreenEngineLpc.h"
#include "tovrask/PlatformInfo.h"

// The one object of the program, created by the entry and never deleted: it owns the drawing
// engine and everything else that lives as long as the process.
class Application {
public:
    Application();

    void Init(void* framebuffer, int32_t width, int32_t height, int32_t lineLength);
    [[noreturn]] void Run();

    // Copies the off-screen picture to the framebuffer and tells the platform.
    void FlushScreen();

    PlatformInfo platform;
    gui::ScreenEngineLpc* engine = nullptr;
};
