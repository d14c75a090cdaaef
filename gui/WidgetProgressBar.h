#pragma once

#include <cstdint>

#include "gui/Widget.h"

namespace gui {

// A horizontal bar showing a value between a minimum (empty) and a maximum (full).
class WidgetProgressBar : public Widget {
public:
    explicit WidgetProgressBar(Widget* parent);

    // Clamps into [minimum, maximum] and redraws; minimum must not exceed maximum.
    void SetValue(int v);
    void Draw() override;

    int32_t value = 0;
    int32_t minimum = 0;
    int32_t maximum = 100;
    Colour barColour;
};

}  // namespace gui
