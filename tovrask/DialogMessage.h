#pragma once

#include <string>

#include "tovrask/Dialog.h"

namespace tovrask {

// One or two lines of text: the text is split at its first line feed.
class DialogMessage : public Dialog {
public:
    DialogMessage(const std::string& title, const std::string& text, gui::Widget* parent);
};

}  // namespace tovrask
