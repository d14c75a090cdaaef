#include "tovrask/DialogUpgrade.h"

#include "gui/MenuItem.h"
#include "tovrask/ApplicationEvents.h"

namespace tovrask {

namespace {
enum Choice { kStart = 1, kUpdate = 2, kReset = 3 };
}

DialogUpgrade::DialogUpgrade(gui::Widget* parent, bool offerStart) : Dialog(235, 200, "Boot options", parent) {
    const int32_t menuHeight = offerStart ? 156 : 104;  // three or two rows of 52
    choiceMenu = new gui::WidgetMenu(this);
    choiceMenu->SetRect(gui::Rect(0, (client.Height() - menuHeight) / 2, client.Width(), menuHeight), true);
    choiceMenu->fontId = 0;
    choiceMenu->rowHeight = 52;
    choiceMenu->labelAnchorX = 0.5f;
    if (offerStart) choiceMenu->AddItem(new gui::MenuItem(kStart, "Start Normally"));
    choiceMenu->AddItem(new gui::MenuItem(kUpdate, "Update"));
    choiceMenu->AddItem(new gui::MenuItem(kReset, "System Reset"));
    backgroundColour = 0x00000000;
    gui::SetFocus(choiceMenu);
}

bool DialogUpgrade::OnEvent(const Event& e) {
    if (e.type != evEnter) return false;
    switch (choiceMenu->SelectedValue()) {
        case kStart:
            PostEvent(evMenuStart, 0, 0);
            return true;
        case kUpdate:
            PostEvent(evMenuUpdate, 0, 0);
            return true;
        case kReset:
            PostEvent(evMenuReset, 0, 0);
            return true;
        default:
            return false;
    }
}

}  // namespace tovrask
