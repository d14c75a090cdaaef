#include "app/StandInMain.h"

#include <cstdio>

#include "app/TestCard.h"
#include "gui/MenuItem.h"
#include "gui/WidgetDialog.h"
#include "gui/WidgetEditBox.h"
#include "gui/WidgetMenu.h"

namespace {

std::string Describe(const Event& e) {
    char text[48];
    switch (e.type) {
        case evCancel:
            return "evCancel";
        case evEnter:
            return "evEnter";
        case evKeyF1:
            return "evKeyF1";
        case evStep:
            std::snprintf(text, sizeof(text), "evStep %+d", e.Steps());
            return text;
        default:
            std::snprintf(text, sizeof(text), "event %d", static_cast<int>(e.type));
            return text;
    }
}

// Leaves ESC to the main widget, which counts it.
class ControlsDialog : public gui::WidgetDialog {
public:
    using gui::WidgetDialog::WidgetDialog;
    bool OnEvent(const Event& e) override { return e.type != evCancel && gui::WidgetDialog::OnEvent(e); }
};

}  // namespace

StandInMain::StandInMain(int32_t width, int32_t height) : gui::Widget(nullptr) {
    focusable = true;
    textColour = 0x00FFFFFF;
    backgroundColour = 0x00000000;
    SetRect(gui::Rect(0, 0, width, height), false);

    auto* dialog = new ControlsDialog("Controls", this);
    const int32_t w = 320, h = 222;
    dialog->SetRect(gui::Rect((width - w) / 2, (height - h) / 2, w, h), false);
    const int32_t inner = dialog->client.Width();
    auto* menu = new gui::WidgetMenu(dialog);
    menu->SetRect(gui::Rect(0, 2, inner, 126), true);
    menu->labelAnchorX = 0.5f;
    for (const char* label : {"Start Normally", "Update", "System Reset", "Diagnostics", "About"}) {
        menu->AddItem(new gui::MenuItem(static_cast<int32_t>(menu->items.size()), label));
    }
    auto* edit = new gui::WidgetEditBox("Arvel", dialog);
    edit->SetRect(gui::Rect(10, 134, inner - 20, 28), true);
    edit->focusable = false;  // shown, not edited: the keys belong to the menu
    progress_ = new gui::WidgetProgressBar(dialog);
    progress_->SetRect(gui::Rect(10, 168, inner - 20, 15), true);
    progress_->SetValue(40);
    menu_ = menu;
}

void StandInMain::Step() {
    if (!HasFocusInTree()) gui::SetFocus(menu_);
}

bool StandInMain::OnEvent(const Event& e) {
    lastEvents_.push_front(Describe(e));
    if (lastEvents_.size() > 8) lastEvents_.pop_back();
    if (e.type == evKeyF1) rebootRequested = true;
    cancels_ = e.type == evCancel ? cancels_ + 1 : 0;
    if (cancels_ == 2) m_eState = sExit;
    progress_->SetValue((progress_->value + 20) % 120);
    SetTreeDirty(true);
    return true;
}

void StandInMain::Draw() {
    if (!IsDirty()) return;
    DrawTestCard(*gui::Engine(), rect.Width(), rect.Height());
    gui::Painter p(this);
    p.SelectFont(fontId);
    std::string keys = "Keys:";
    for (auto it = lastEvents_.rbegin(); it != lastEvents_.rend(); ++it) keys += "  " + *it;
    if (lastEvents_.empty()) keys += "  none yet (ESC ESC: start, F1 ESC ESC: reboot)";
    const gui::Colour shade = 0xFF000000;
    p.SetPenColour(textColour);
    const gui::Rect band = gui::Rect::FromEdges(rect.left, rect.bottom - 60, rect.right, rect.bottom - 8);
    p.DrawTextInRect(band, 0.5f, 0.5f, keys.c_str(), &shade);
    SetDirty(false);
}
