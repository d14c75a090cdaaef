#pragma once

#include <cstdint>
#include <vector>

#include "gui/AbstractMenuItem.h"
#include "gui/WidgetControl.h"

namespace gui {

// A vertical list of rows with a highlighted selection that the keys move, and a scroll bar when
// the rows do not fit. ENTER and ESC are not its business: they travel on to the owning dialog,
// which asks for the selected value.
class WidgetMenu : public WidgetControl {
public:
    explicit WidgetMenu(Widget* parent);
    ~WidgetMenu() override;

    // Takes ownership; the selection does not move.
    void AddItem(AbstractMenuItem* item);
    // -1 when the menu has no items.
    int32_t SelectedValue() const;
    int32_t VisibleRows() const { return rowHeight > 0 ? rect.Height() / rowHeight : 0; }

    bool OnEvent(const Event& e) override;
    void Draw() override;

    int32_t rowHeight = 42;
    int32_t scrollBarWidth = 5;
    float labelAnchorX = 0.0f;
    std::vector<AbstractMenuItem*> items;
    int32_t selected = 0;
    int32_t firstVisible = 0;
    Colour selectionTopColour = 0x00303030;
    Colour selectionBottomColour = 0x00000000;
};

}  // namespace gui
