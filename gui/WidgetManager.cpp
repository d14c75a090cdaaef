#include "gui/WidgetManager.h"

#include <cstdio>

#include "gui/Widget.h"

namespace gui {

WidgetManager& WidgetManager::Instance() {
    static WidgetManager manager;
    return manager;
}

WidgetManager::~WidgetManager() {
    Widget* root = mainWidget;
    mainWidget = nullptr;
    focus = nullptr;
    delete root;
}

void WidgetManager::SetMainWidget(Widget* w) {
    mainWidget = w;
    SetFocus(w);
}

void WidgetManager::SetFocus(Widget* w) {
    if (w == focus) return;
    if (focus != nullptr) focus->SetDirty(true);
    focus = nullptr;
    if (w == nullptr) return;
    if (w->focusable) {
        focus = w;
        std::printf("Focus set directly.\n");
    } else {
        for (Widget* child : w->children) {
            if (child->focusable) {
                focus = child;
                break;
            }
        }
        std::printf("Focus set indirectly to 0x%x.\n",
                    static_cast<unsigned>(reinterpret_cast<uintptr_t>(focus)));
    }
    if (focus != nullptr) focus->SetDirty(true);
}

void WidgetManager::Dispatch(const Event& e) {
    if (focus == nullptr) {
        std::printf("WidgetManager: There is no focus widget.\n");
        return;
    }
    for (Widget* w = focus; w != nullptr; w = w->parent) {
        if (w->OnEvent(e)) return;
    }
}

void WidgetManager::Update() {
    if (mainWidget == nullptr) return;
    if (redrawState == Idle && mainWidget->IsTreeDirty()) redrawState = Drawing;
    mainWidget->Draw();
    if (!mainWidget->IsDirty()) mainWidget->DrawChildren();
    if (redrawState == Drawing && !mainWidget->IsTreeDirty()) redrawState = FlushNeeded;
}

void WidgetManager::PostEvent(int32_t type, int64_t param, int32_t detail) {
    if (container == nullptr) {
        std::printf("No access to the EventContainer.\n");
        return;
    }
    container->Post(Event(type, param, detail));
}

void WidgetManager::RemoveTimers(const Widget* w) {
    if (container == nullptr) {
        std::printf("No access to the EventContainer.\n");
        return;
    }
    container->RemoveTimers(w);
}

}  // namespace gui
