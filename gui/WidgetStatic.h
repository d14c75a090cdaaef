#pragma once

#include <string>

#include "gui/Widget.h"

namespace gui {

// A piece of text placed inside the widget's rectangle by relative anchors: 0 left/top,
// 0.5 centred, 1 right/bottom.
class WidgetStatic : public Widget {
public:
    // Takes the parent's background, so that an opaque label blends into its window.
    WidgetStatic(const std::string& text, Widget* parent);

    void Draw() override;

    std::string text;
    float anchorX = 0.0f;
    float anchorY = 0.0f;
    bool opaque = true;
};

}  // namespace gui
