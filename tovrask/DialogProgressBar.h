#pragma once

#include <cstdint>
#include <string>

#include "gui/WidgetProgressBar.h"
#include "gui/WidgetStatic.h"
#include "tovrask/Dialog.h"

namespace tovrask {

// A label and a bar from 0 to a maximum.
class DialogProgressBar : public Dialog {
public:
    DialogProgressBar(const std::string& title, const std::string& text, int32_t maximum, gui::Widget* parent);

    void SetProgress(int value) { progressBar->SetValue(value); }

    gui::WidgetStatic* textLabel;
    gui::WidgetProgressBar* progressBar;
};

}  // namespace tovrask
