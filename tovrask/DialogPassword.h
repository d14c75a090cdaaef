#pragma once

#include <cstdint>
#include <string>

#include "gui/WidgetEditBox.h"
#include "tovrask/Dialog.h"

namespace tovrask {

// An access code of up to six hexadecimal digits, posted as evPassword when entered. The dialog
// stays open; the boot state machine decides what follows.
class DialogPassword : public Dialog {
public:
    DialogPassword(const std::string& label, gui::Widget* parent);

    bool OnEvent(const Event& e) override;

    // The value of the first six characters: 0-9, A-F, a-f as hexadecimal digits, anything
    // else as the digit 255; empty text is 0.
    static uint32_t CodeValue(const std::string& text);

    gui::WidgetEditBox* editBox;
};

}  // namespace tovrask
