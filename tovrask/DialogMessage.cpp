#include "tovrask/DialogMessage.h"

#include "gui/WidgetStatic.h"

namespace tovrask {

DialogMessage::DialogMessage(const std::string& t, const std::string& text, gui::Widget* parent)
    : Dialog(290, 120, t, parent) {
    const size_t feed = text.find('\n');
    const int32_t width = client.Width() - 20;
    auto* first = new gui::WidgetStatic(text.substr(0, feed), this);
    first->SetRect(gui::Rect(10, 25, width, 20), true);
    if (feed != std::string::npos) {
        auto* second = new gui::WidgetStatic(text.substr(feed + 1), this);
        second->SetRect(gui::Rect(10, 50, width, 20), true);
    }
}

}  // namespace tovrask
