#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "gui/WidgetMenu.h"
#include "tovrask/Dialog.h"

namespace tovrask {

// The update files found on the USB medium, one 42-pixel row each; ENTER posts evFileSelected
// with the chosen index, ESC goes on to the main widget.
class DialogFileSelect : public Dialog {
public:
    // The screen's width is not used: the dialog's width is fixed, its height follows the screen's.
    DialogFileSelect(const std::vector<std::string>& names, int32_t width, int32_t height, gui::Widget* parent);

    bool OnEvent(const Event& e) override;

    gui::WidgetMenu* choiceMenu;
};

}  // namespace tovrask
