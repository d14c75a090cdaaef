#include "tovrask/Dialog.h"

namespace tovrask {

Dialog::Dialog(int32_t width, int32_t height, const std::string& t, gui::Widget* parent)
    : gui::WidgetDialog(t, parent) {
    const int32_t x = parent != nullptr ? (parent->client.Width() - width) / 2 : 0;
    const int32_t y = parent != nullptr ? (parent->client.Height() - height) / 2 : 0;
    SetRect(gui::Rect(x, y, width, height), true);
}

void Dialog::Draw() {
    if (!IsDirty()) return;
    gui::Painter p(this);
    p.SetPenColour(titleColour);
    p.SetFillColour(titleColour);
    const gui::Rect bar = gui::Rect::FromEdges(rect.left, rect.top, rect.right, rect.top + 35);
    p.DrawRoundedRect(bar, 10, 10, gui::Painter::TopLeft | gui::Painter::TopRight);
    p.SetFillColour(backgroundColour);
    p.DrawRect(gui::Rect::FromEdges(rect.left, rect.top + 36, rect.right, rect.bottom), 4, 0, 4, 4);
    p.SelectFont(fontId);
    p.SetPenColour(0x00FFFFFF);
    p.DrawTextInRect(bar, 0.5f, 0.5f, title.c_str());
    SetDirty(false);
}

}  // namespace tovrask
