#pragma once

#include "gui/WidgetMenu.h"
#include "tovrask/Dialog.h"

namespace tovrask {

// The "Boot options" menu: "Start Normally" (only when there is an application to start),
// "Update" and "System Reset", each posting its event on ENTER.
class DialogUpgrade : public Dialog {
public:
    DialogUpgrade(gui::Widget* parent, bool offerStart);

    bool OnEvent(const Event& e) override;

    gui::WidgetMenu* choiceMenu;
};

}  // namespace tovrask
