#include "tovrask/DialogFileSelect.h"

#include <cstdio>

#include "gui/MenuItem.h"
#include "tovrask/ApplicationEvents.h"

namespace tovrask {

DialogFileSelect::DialogFileSelect(const std::vector<std::string>& names, int32_t, int32_t height,
                                   gui::Widget* parent)
    : Dialog(290, height < 290 ? 230 : 294, "Select", parent) {
    // A whole number of rows, centred vertically.
    const int32_t ch = client.Height();
    choiceMenu = new gui::WidgetMenu(this);
    choiceMenu->SetRect(gui::Rect(0, (ch % 42) / 2, client.Width(), (ch / 42) * 42), true);
    choiceMenu->rowHeight = 42;
    choiceMenu->fontId = 0;
    choiceMenu->forwardCancel = true;
    choiceMenu->labelAnchorX = 0.5f;
    for (size_t i = 0; i < names.size(); ++i) {
        choiceMenu->AddItem(new gui::MenuItem(static_cast<int32_t>(i), names[i]));
    }
    backgroundColour = 0x00000000;
    gui::SetFocus(choiceMenu);
}

bool DialogFileSelect::OnEvent(const Event& e) {
    if (e.type != evEnter) return false;
    std::printf("File selected.\n");
    PostEvent(evFileSelected, choiceMenu->SelectedValue(), 0);
    return true;
}

}  // namespace tovrask
