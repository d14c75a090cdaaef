#include "tovrask/DialogPassword.h"

#include <cstdio>

#include "gui/WidgetStatic.h"
#include "tovrask/ApplicationEvents.h"

namespace tovrask {

DialogPassword::DialogPassword(const std::string& label, gui::Widget* parent)
    : Dialog(190, 120, "Password", parent) {
    const int32_t width = client.Width() - 20;
    auto* text = new gui::WidgetStatic(label, this);
    text->SetRect(gui::Rect(10, 15, width, 20), true);
    editBox = new gui::WidgetEditBox("", this);
    editBox->SetRect(gui::Rect(10, 40, width, 28), true);
    editBox->forwardEnter = true;
    editBox->activeBackgroundColour = 0x00FFFF00;
    editBox->SetCharsetHexadecimal();
    editBox->caseMode = 0;
    editBox->SetMaxLength(6);
    editBox->SetActive(true);  // editing starts at once
    gui::SetFocus(editBox);
}

uint32_t DialogPassword::CodeValue(const std::string& text) {
    uint32_t value = 0;
    for (size_t i = 0; i < text.size() && i < 6; ++i) {
        const char c = text[i];
        uint32_t digit = 255;
        if (c >= '0' && c <= '9') {
            digit = static_cast<uint32_t>(c - '0');
        } else if (c >= 'A' && c <= 'F') {
            digit = static_cast<uint32_t>(c - 'A' + 10);
        } else if (c >= 'a' && c <= 'f') {
            digit = static_cast<uint32_t>(c - 'a' + 10);
        }
        value = value * 16 + digit;
    }
    return value;
}

bool DialogPassword::OnEvent(const Event& e) {
    if (e.type != evEnter) return false;  // ESC goes on to the main widget
    std::printf("Password entered.\n");
    std::string text;
    editBox->GetText(text);
    const uint32_t value = CodeValue(text);
    std::printf("Pass 0x%x.\n", value);
    PostEvent(evPassword, static_cast<int64_t>(value), 0);
    return true;
}

}  // namespace tovrask
