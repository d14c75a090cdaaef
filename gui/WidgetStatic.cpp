#include "gui/WidgetStatic.h"

namespace gui {

WidgetStatic::WidgetStatic(const std::string& t, Widget* parent) : Widget(parent), text(t) {
    fontId = 0;
    if (parent != nullptr) backgroundColour = parent->BackgroundColour();
}

void WidgetStatic::Draw() {
    if (!IsDirty()) return;
    if (text.empty()) {
        SetDirty(false);  // whatever was there stays
        return;
    }
    Painter p(this);
    p.SetPenColour(textColour);
    p.SelectFont(fontId);
    if (opaque) {
        p.SetFillColour(backgroundColour);
        p.DrawRect(ClientOnCanvas(), 0, 0, -1, -1);
    }
    p.DrawTextInRect(rect, anchorX, anchorY, text.c_str());
    dirty = false;
}

}  // namespace gui
