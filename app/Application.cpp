#include "app/Application.h"

#include <cstdio>
#include <cstdlib>

#include "app/TestCard.h"
#include "platform/System.h"

Application::Application() {
    platform = PlatformInfo{};
    std::printf("Tovrask\n");
}

void Application::Init(void* framebuffer, int32_t width, int32_t height, int32_t lineLength) {
    engine = new gui::ScreenEngineLpc(framebuffer, width, height, lineLength);
    gui::SetEngine(engine);
}

void Application::FlushScreen() {
    engine->Flush();
    platform::Current().FramebufferFlushed();
}

void Application::Run() {
    // Until the widgets and the main loop exist, show every drawing primitive once.
    DrawTestCard(*engine);
    FlushScreen();
    std::exit(0);
}
