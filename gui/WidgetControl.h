#pragma once

#include "gui/Widget.h"

namespace gui {

// The base of the widgets that take the focus and are edited or activated with the keys. While
// active (being edited) it shows its active colours.
class WidgetControl : public Widget {
public:
    explicit WidgetControl(Widget* parent);

    Colour TextColour() const override { return active ? activeTextColour : textColour; }
    Colour BackgroundColour() const override { return active ? activeBackgroundColour : backgroundColour; }

    // Marks the control dirty only when the state changes.
    void SetActive(bool a);

    bool active = false;
    // Leaving the active state by this key reports the key as not handled, so the parent sees it.
    bool forwardCancel = false;
    bool forwardEnter = false;
    Colour activeTextColour = 0x00000000;
    Colour activeBackgroundColour = 0x00FFFF00;
};

}  // namespace gui
