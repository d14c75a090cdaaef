#include "gui/Widget.h"

#include <algorithm>
#include <cstdio>

#include "gui/WidgetManager.h"

namespace gui {

int64_t Identity(const Widget* widget) {
    // The address, sign-extended from the device's 32 bits.
    return static_cast<int64_t>(reinterpret_cast<intptr_t>(widget));
}

Widget::Widget(Widget* parentWidget) : parent(parentWidget) {
    if (parent != nullptr) parent->children.push_back(this);
}

Widget::~Widget() {
    WidgetManager::Instance().RemoveTimers(this);
    for (Widget* child : children) delete child;
    children.clear();
}

void Widget::SetRect(const Rect& r, bool relative) {
    rect = r;
    if (relative && parent != nullptr) {
        rect = r.Moved(parent->rect.left + parent->client.left, parent->rect.top + parent->client.top);
    }
    UpdateClientRect();
}

bool Widget::IsTreeDirty() const {
    if (IsDirty()) return true;
    for (const Widget* child : children) {
        if (child->IsTreeDirty()) return true;
    }
    return false;
}

bool Widget::OnEvent(const Event& e) {
    if (e.type == evTimeout && e.param == Identity(this)) {
        ProcessTimeout();
        return true;
    }
    return false;
}

bool Widget::DrawChildren() {
    for (Widget* child : children) {
        child->Draw();
        if (!child->IsDirty()) child->DrawChildren();
    }
    return true;
}

void Widget::UpdateClientRect() { client = Rect(0, 0, rect.Width(), rect.Height()); }

void Widget::ProcessTimeout() { std::printf("Widget::ProcessTimeout.\n"); }

Widget* Widget::RemoveChild(Widget* child) {
    if (child == nullptr) return nullptr;
    auto it = std::find(children.begin(), children.end(), child);
    if (it == children.end()) {
        std::printf("Child not found.\n");
        return nullptr;
    }
    children.erase(it);
    WidgetManager& manager = WidgetManager::Instance();
    if (manager.focus == child || child->HasFocusInTree()) {
        std::printf("Setting focus to parent.\n");
        manager.SetFocus(this);
    }
    std::printf("%d children left.\n", static_cast<int>(children.size()));
    return child;
}

bool Widget::DeleteChild(Widget* child) {
    if (RemoveChild(child) == nullptr) return false;
    std::printf("Deleting child.\n");
    delete child;
    return true;
}

bool Widget::HasFocusInTree() const {
    const Widget* focus = WidgetManager::Instance().focus;
    for (const Widget* w = focus != nullptr ? focus->parent : nullptr; w != nullptr; w = w->parent) {
        if (w == this) return true;
    }
    return false;
}

void Widget::SetTreeDirty(bool d) {
    SetDirty(d);
    for (Widget* child : children) child->SetTreeDirty(d);
}

int Widget::DrawFocusFrame(Painter& painter, const Rect& r, bool filled) {
    const bool focused = WidgetManager::Instance().focus == this;
    const int width = focused ? 2 : 1;
    painter.SetPenColour(focused ? focusFrameColour : frameColour);
    if (filled) {
        painter.SetFillColour(BackgroundColour());
        painter.DrawRect(r, width, width, -1, -1);
    } else {
        painter.DrawFrame(r);
        if (width == 2) painter.DrawFrame(Rect::FromEdges(r.left + 1, r.top + 1, r.right - 1, r.bottom - 1));
    }
    return width;
}

void Widget::PostEvent(int32_t type, int64_t param, int32_t detail) {
    WidgetManager::Instance().PostEvent(type, param, detail);
}

void SetFocus(Widget* widget) { WidgetManager::Instance().SetFocus(widget); }

}  // namespace gui
