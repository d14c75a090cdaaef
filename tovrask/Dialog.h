#pragma once

#include <cstdint>
#include <string>

#include "gui/WidgetDialog.h"

namespace tovrask {

// The boot manager's dialogs: centred in their parent, with a taller title bar than the
// toolkit's (the client area stays the toolkit's).
class Dialog : public gui::WidgetDialog {
public:
    Dialog(int32_t width, int32_t height, const std::string& title, gui::Widget* parent);

    void Draw() override;
};

}  // namespace tovrask
