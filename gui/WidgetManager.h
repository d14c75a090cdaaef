#pragma once

#include <cstdint>

#include "gui/Event.h"
#include "gui/EventContainer.h"

namespace gui {

class Widget;

// The one manager of the widget tree: the focus, the root widget (owned), the redraw state and
// the way to the event queue.
class WidgetManager {
public:
    enum RedrawState : int32_t { Idle = 0, Drawing = 1, FlushNeeded = 2 };

    static WidgetManager& Instance();
    ~WidgetManager();

    void SetMainWidget(Widget* w);
    void SetFocus(Widget* w);
    // Offers the event to the focus widget, then to each ancestor, until one handles it.
    void Dispatch(const Event& e);
    // One drawing pass; moves redrawState to FlushNeeded once a pass leaves nothing dirty.
    void Update();
    void PostEvent(int32_t type, int64_t param, int32_t detail);
    void RemoveTimers(const Widget* w);

    int32_t redrawState = Idle;
    Widget* focus = nullptr;
    Widget* mainWidget = nullptr;
    EventContainer* container = nullptr;

private:
    WidgetManager() = default;
};

}  // namespace gui
