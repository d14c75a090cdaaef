#pragma once

#include <cstddef>
#include <string>

#include "gui/Widget.h"

namespace gui {

// A framed window with a coloured title bar. Steps move the focus among its focusable children;
// ESC announces evDialogClose, and whoever owns the dialog decides what that means.
class WidgetDialog : public Widget {
public:
    WidgetDialog(const std::string& title, Widget* parent);

    bool OnEvent(const Event& e) override;
    void Draw() override;
    // Four pixels in from the left, right and bottom edges, below a 30-pixel title bar.
    void UpdateClientRect() override;

    // The next (previous) focusable child after (before) position `from` of children, wrapping;
    // `from` itself comes last.
    size_t NextFocusable(size_t from) const;
    size_t PreviousFocusable(size_t from) const;

    std::string title;
    Colour titleColour = 0xFF1E00DC;
};

}  // namespace gui
