#pragma once

#include <cstdint>

#include "gui/Widget.h"

namespace gui {

// A horizontal bar showing a value between a minimum (empty) and a maximum (full).
class WidgetProgressBar : public Widget {
public:
    explicit WidgetProgressBar(Widget* parent);

    // Clamps into [minimum, maximum] and redraws when that changes what the bar shows; minimum
    // must not exceed maximum.
    void SetValue(int v);
    void Draw() override;

    int32_t value = 0;
    int32_t minimum = 0;
    int32_t maximum = 100;
    Colour barColour;

private:
    // The range of the last SetValue: a new range with the same value is a new picture.
    int32_t setMinimum_ = 0;
    int32_t setMaximum_ = 100;
};

}  // namespace gui
