#include "gui/WidgetMenu.h"

#include <algorithm>

namespace gui {

WidgetMenu::WidgetMenu(Widget* parent) : WidgetControl(parent) {
    textColour = 0x00FFFFFF;
    backgroundColour = 0x00000000;
    focusFrameColour = 0x00FFFF00;
}

WidgetMenu::~WidgetMenu() {
    for (AbstractMenuItem* item : items) delete item;
    items.clear();
}

void WidgetMenu::AddItem(AbstractMenuItem* item) {
    item->menu = this;
    items.push_back(item);
    SetDirty(true);
}

int32_t WidgetMenu::SelectedValue() const {
    if (selected < 0 || static_cast<size_t>(selected) >= items.size()) return -1;
    return items[static_cast<size_t>(selected)]->value;
}

bool WidgetMenu::OnEvent(const Event& e) {
    if (e.type != evStep) return false;
    const int64_t n = e.Steps();
    const int64_t count = static_cast<int64_t>(items.size());
    if (count > 0 && n > 0) {
        selected = static_cast<int32_t>(std::min<int64_t>(selected + n, count - 1));
        if (firstVisible + VisibleRows() <= selected) firstVisible = selected - VisibleRows() + 1;
    } else if (count > 0 && n < 0) {
        selected = static_cast<int32_t>(std::max<int64_t>(selected + n, 0));
        if (firstVisible > selected) firstVisible = selected;
    }
    SetDirty(true);
    return true;
}

void WidgetMenu::Draw() {
    if (!IsDirty()) return;
    Painter p(this);
    p.SetFillColour(backgroundColour);
    p.SetPenColour(textColour);
    p.DrawRect(rect, 0, 0, 0, 0);
    if (items.empty()) {
        p.SelectFont(fontId);
        p.DrawTextInRect(rect, 0.5f, 0.5f, "Empty");
        SetDirty(false);
        return;
    }
    const Rect area = ClientOnCanvas();
    const int32_t rows = VisibleRows();
    const int32_t count = static_cast<int32_t>(items.size());
    int32_t itemWidth = area.Width();
    if (rows < count) {
        const Rect track = Rect::FromEdges(area.right - scrollBarWidth, area.top + 1, area.right, area.bottom - 1);
        p.DrawRect(track, 1, 0, 0, 0);
        const float perItem = static_cast<float>(track.Height()) / static_cast<float>(count);
        const int32_t thumbTop = static_cast<int32_t>(static_cast<float>(track.top) + static_cast<float>(firstVisible) * perItem);
        const int32_t thumbLength = static_cast<int32_t>(static_cast<float>(rows) * perItem);
        p.DrawRect(Rect::FromEdges(track.left, thumbTop, track.right, thumbTop + thumbLength - 1), track.Width(), 0, 0, 0);
        itemWidth = area.Width() - scrollBarWidth - 1;
    }
    p.SelectFont(fontId);
    for (int32_t i = 0; i < rows && firstVisible + i < count; ++i) {
        const int32_t index = firstVisible + i;
        const Rect row(area.left, area.top + i * rowHeight, itemWidth, rowHeight);
        if (index == selected) {
            // A 3-pixel frame in the focus frame colour around a two-tone row.
            p.SetPenColour(focusFrameColour);
            p.SetFillColour(selectionTopColour);
            p.DrawRect(Rect::FromEdges(row.left, row.top + 1, row.right, row.top + rowHeight / 2), 3, 3, 3, 0);
            p.SetFillColour(selectionBottomColour);
            p.DrawRect(Rect::FromEdges(row.left, row.top + rowHeight / 2, row.right, row.bottom), 3, 0, 3, 3);
        }
        p.SetFillColour(backgroundColour);
        p.SetPenColour(textColour);
        items[static_cast<size_t>(index)]->Draw(
            p, Rect::FromEdges(row.left + 6, row.top + 3, row.right - 6, row.bottom - 3));
    }
    SetDirty(false);
}

}  // namespace gui
