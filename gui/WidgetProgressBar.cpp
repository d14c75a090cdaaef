#include "gui/WidgetProgressBar.h"

#include "Public/Common/MathEx.h"

namespace gui {

WidgetProgressBar::WidgetProgressBar(Widget* parent) : Widget(parent), barColour(focusFrameColour) {}

void WidgetProgressBar::SetValue(int v) {
    const int32_t clamped = common::GetMinMax(v, minimum, maximum);
    // Long work sets the same value many times over: only a change is worth drawing.
    if (clamped == value && minimum == setMinimum_ && maximum == setMaximum_) return;
    value = clamped;
    setMinimum_ = minimum;
    setMaximum_ = maximum;
    SetDirty(true);
}

void WidgetProgressBar::Draw() {
    if (!IsDirty()) return;
    Painter p(this);
    DrawFocusFrame(p, rect, true);
    p.SetPenColour(barColour);
    p.SetFillColour(backgroundColour);
    const Rect inner = Rect::FromEdges(rect.left + 3, rect.top + 3, rect.right - 3, rect.bottom - 3);
    // An empty range has nothing to show: an empty bar rather than a division by zero.
    const int64_t range = static_cast<int64_t>(maximum) - minimum;
    const int64_t done = static_cast<int64_t>(value) - minimum;
    const int32_t filled = range > 0 ? static_cast<int32_t>(inner.Width() * done / range) : 0;
    p.DrawRect(inner, filled, 0, 0, 0);
    SetDirty(false);
}

}  // namespace gui
