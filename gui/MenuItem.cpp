#include "gui/MenuItem.h"

#include "gui/WidgetMenu.h"

namespace gui {

MenuItem::MenuItem(int32_t v, const std::string& text) : AbstractMenuItem(v), label(text) {}

void MenuItem::Draw(Painter& painter, const Rect& r) {
    if (menu == nullptr) return;
    painter.SelectFont(menu->fontId);
    painter.DrawTextInRect(r, menu->labelAnchorX, 0.5f, label.c_str());
}

}  // namespace gui
