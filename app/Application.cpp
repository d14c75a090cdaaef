#include "app/Application.h"

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "app/KeyMap.h"
#include "gui/WidgetManager.h"
#include "gui/engine/data/BuiltinFont.h"
#include "platform/System.h"
#include "tovrask/DetectPlatform.h"

Application::Application() {
    platform = PlatformInfo{};
    DetectPlatform(platform);
    std::printf("Tovrask\n");
    mainWidget = nullptr;
}

void Application::Init(void* framebuffer, int32_t width, int32_t height, int32_t lineLength) {
    engine = new gui::ScreenEngineLpc(framebuffer, width, height, lineLength);
    gui::SetEngine(engine);

    engine->RegisterFont(0, gui::LoadBuiltinFont());

    mainWidget = new tovrask::WidgetMain(&platform, width, height);
    input = new InputHandler();
    events = new EventContainer();
    input->Start();

    gui::WidgetManager& manager = gui::WidgetManager::Instance();
    manager.container = events;
    manager.SetMainWidget(mainWidget);
}

void Application::FlushScreen() {
    engine->Flush();
    platform::Current().FramebufferFlushed();
}

int Application::RunPass() {
    gui::WidgetManager& manager = gui::WidgetManager::Instance();
    events->ProcessTimers();
    uint16_t code;
    Event e;
    if (input->TakeKey(&code) && KeyToEvent(code, &e)) events->Post(e);
    if (events->Take(&e)) manager.Dispatch(e);
    if (mainWidget != nullptr) {
        mainWidget->Step();
        if (mainWidget->m_eState == tovrask::WidgetMain::sExit) {
            if (mainWidget->rebootRequested) {
                std::printf("Rebooting...\n");
                return 1;
            }
            std::printf("Switching to main application.\n");
            return 0;
        }
    }
    if (manager.redrawState == gui::WidgetManager::FlushNeeded) {
        FlushScreen();
        manager.redrawState = gui::WidgetManager::Idle;
    } else {
        manager.Update();
    }
    return -1;
}

void Application::Run() {
    std::printf("Entering the main loop ...\n");
    for (;;) {
        const int status = RunPass();
        if (status >= 0) std::exit(status);
    }
}
