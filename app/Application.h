#pragma once

#include <cstdint>

#include "app/InputHandler.h"
#include "gui/EventContainer.h"
#include "gui/engine/ScreenEngineLpc.h"
#include "tovrask/PlatformInfo.h"
#include "tovrask/WidgetMain.h"

// The one object of the program, created by the entry and never deleted: it owns the drawing
// engine, the key thread's handler and the event queue. Constructing it detects the platform.
class Application {
public:
    Application();

    void Init(void* framebuffer, int32_t width, int32_t height, int32_t lineLength);
    // The main loop: pass after pass until the main widget reaches its end state.
    [[noreturn]] void Run();
    // One pass of the main loop; returns the exit status once the main widget is done, else -1.
    int RunPass();
    // Whether the last pass found nothing to do: no key, no event, nothing drawn or flushed, and
    // a state that only waits for an event or for its time.
    bool LastPassIdle() const { return idle_; }
    // After an idle pass: blocks until a key arrives or kIdleWaitMs of the program's clock pass.
    void WaitForWork();

    // Copies what was drawn to the framebuffer and tells the platform; nothing when nothing was
    // drawn.
    void FlushScreen();

    // Short enough that the waiting states keep their timings and the media is retried often.
    static constexpr int32_t kIdleWaitMs = 10;

    PlatformInfo platform;
    EventContainer* events = nullptr;
    gui::ScreenEngineLpc* engine = nullptr;
    InputHandler* input = nullptr;
    tovrask::WidgetMain* mainWidget = nullptr;  // owned by the widget manager once handed to it

private:
    bool idle_ = false;
};
