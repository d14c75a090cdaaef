#include "gui/WidgetDialog.h"

#include <algorithm>

#include "gui/WidgetManager.h"

namespace gui {

WidgetDialog::WidgetDialog(const std::string& t, Widget* parent) : Widget(parent), title(t) {}

void WidgetDialog::UpdateClientRect() {
    client = Rect::FromEdges(4, 30, rect.Width() - 5, rect.Height() - 5);
}

size_t WidgetDialog::NextFocusable(size_t from) const {
    const size_t n = children.size();
    for (size_t k = 1; k <= n; ++k) {
        const size_t i = (from + k) % n;
        if (children[i]->focusable) return i;
    }
    return from;
}

size_t WidgetDialog::PreviousFocusable(size_t from) const {
    const size_t n = children.size();
    for (size_t k = 1; k <= n; ++k) {
        const size_t i = (from + n - k % n) % n;
        if (children[i]->focusable) return i;
    }
    return from;
}

bool WidgetDialog::OnEvent(const Event& e) {
    if (e.type == evStep) {
        Widget* focus = WidgetManager::Instance().focus;
        auto it = std::find(children.begin(), children.end(), focus);
        if (it == children.end()) return false;
        size_t at = static_cast<size_t>(it - children.begin());
        // Stepping goes round the focusable children, so only the remainder matters.
        const int64_t focusables = std::count_if(children.begin(), children.end(),
                                                 [](const Widget* w) { return w->focusable; });
        const int64_t n = e.Steps();
        const int64_t steps = (n < 0 ? -n : n) % std::max<int64_t>(focusables, 1);
        for (int64_t i = 0; i < steps; ++i) at = n > 0 ? NextFocusable(at) : PreviousFocusable(at);
        SetFocus(children[at]);
        return true;
    }
    if (e.type == evCancel) {
        PostEvent(evDialogClose, Identity(this), 0);
        return true;
    }
    return Widget::OnEvent(e);
}

void WidgetDialog::Draw() {
    if (!IsDirty()) return;
    Painter p(this);
    p.SetPenColour(titleColour);
    p.SetFillColour(titleColour);
    const Rect bar = Rect::FromEdges(rect.left, rect.top, rect.right, rect.top + 29);
    p.DrawRoundedRect(bar, 8, 8, Painter::TopLeft | Painter::TopRight);
    p.SetFillColour(backgroundColour);
    p.DrawRect(Rect::FromEdges(rect.left, rect.top + 30, rect.right, rect.bottom), 4, 0, 4, 4);
    p.SelectFont(fontId);
    p.SetPenColour(0x00FFFFFF);
    p.DrawTextInRect(bar, 0.5f, 0.5f, title.c_str());
    SetDirty(false);
}

}  // namespace gui
