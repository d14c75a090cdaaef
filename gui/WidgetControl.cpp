#include "gui/WidgetControl.h"

namespace gui {

WidgetControl::WidgetControl(Widget* parent) : Widget(parent) { focusable = true; }

void WidgetControl::SetActive(bool a) {
    if (a == active) return;
    active = a;
    SetDirty(true);
}

}  // namespace gui
