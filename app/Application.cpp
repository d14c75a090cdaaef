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
    const gui::DirtyRegion copied = engine->Flush();
    if (copied.Empty()) return;
    platform::System& os = platform::Current();
    for (const gui::Rect& r : copied) os.FramebufferWritten(r.left, r.top, r.Width(), r.Height());
    os.FramebufferFlushed();
}

void Application::WaitForWork() {
    input->WaitForKey(std::chrono::nanoseconds(platform::Current().RealNanoseconds(kIdleWaitMs)));
}

int Application::RunPass() {
    gui::WidgetManager& manager = gui::WidgetManager::Instance();
    idle_ = false;
    events->ProcessTimers();
    uint16_t code;
    Event e;
    const bool tookKey = input->TakeKey(&code);
    if (tookKey && KeyToEvent(code, &e)) events->Post(e);
    const bool dispatched = events->Take(&e);
    if (dispatched) manager.Dispatch(e);
    bool waiting = true;
    if (mainWidget != nullptr) {
        const int32_t before = mainWidget->m_eState;
        mainWidget->Step();
        waiting = mainWidget->m_eState == before && mainWidget->IsWaiting();
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
        return -1;
    }
    manager.Update();
    idle_ = !tookKey && !dispatched && waiting && events->IsEmpty() && manager.redrawState == gui::WidgetManager::Idle;
    return -1;
}

void Application::Run() {
    std::printf("Entering the main loop ...\n");
    for (;;) {
        const int status = RunPass();
        if (status >= 0) std::exit(status);
        if (idle_) WaitForWork();
    }
}
