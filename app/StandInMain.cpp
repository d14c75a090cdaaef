#include "app/StandInMain.h"

#include <cstdio>

#include "app/TestCard.h"

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

}  // namespace

StandInMain::StandInMain(int32_t width, int32_t height) : gui::Widget(nullptr) {
    focusable = true;
    textColour = 0x00FFFFFF;
    backgroundColour = 0x00000000;
    SetRect(gui::Rect(0, 0, width, height), false);
}

bool StandInMain::OnEvent(const Event& e) {
    lastEvents_.push_front(Describe(e));
    if (lastEvents_.size() > 8) lastEvents_.pop_back();
    if (e.type == evKeyF1) rebootRequested = true;
    cancels_ = e.type == evCancel ? cancels_ + 1 : 0;
    if (cancels_ == 2) m_eState = sExit;
    SetDirty(true);
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
