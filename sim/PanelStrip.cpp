#include "sim/PanelStrip.h"

#include <linux/input-event-codes.h>

#include <algorithm>

#include "gui/engine/Font.h"
#include "gui/engine/Span.h"
#include "gui/engine/data/BuiltinFont.h"

namespace {

constexpr int kMargin = 6;
constexpr int kButtonHeight = 30;
constexpr int kMinButtonWidth = 64;
constexpr int kLabelPadding = 16;
// The console line gets at least this much room, even beside a narrow display.
constexpr int kMinLineWidth = 160;

constexpr uint32_t kBackground = 0xFF202428;
constexpr uint32_t kBorder = 0xFFA0A8B0;
constexpr uint32_t kFace = 0xFF485058;
constexpr uint32_t kHeldFace = 0xFF8898A8;
constexpr uint32_t kLabel = 0xFFFFFFFF;
constexpr uint32_t kDisabledBorder = 0xFF484C50;
constexpr uint32_t kDisabledFace = 0xFF2C3034;
constexpr uint32_t kDisabledLabel = 0xFF686C70;
constexpr uint32_t kLineText = 0xFFC8D0D8;

constexpr int kFontId = 0;

}  // namespace

PanelStrip::PanelStrip(int displayWidth, bool keysEnabled) : keysEnabled_(keysEnabled) {
    // Quietly: the program prints its own font's lines, and the console must stay the device's.
    auto font = std::make_unique<gui::Font>();
    font->LoadQuietly(gui::kBuiltinFont, gui::kBuiltinFontSize);
    buttons_ = {{"ESC", KEY_ESC, {}}, {"ENTER", KEY_ENTER, {}}, {"F1", KEY_F1, {}}, {"UP", KEY_UP, {}},
                {"DOWN", KEY_DOWN, {}}};
    height_ = kButtonHeight + 2 * kMargin;
    int x = kMargin;
    for (Button& b : buttons_) {
        const int w = std::max(kMinButtonWidth, gui::TextBounds(*font, b.label).Width() + kLabelPadding);
        b.box = gui::Rect(x, kMargin, w, kButtonHeight);
        x += w + kMargin;
    }
    width_ = std::max(displayWidth, x + kMinLineWidth + kMargin);
    lineBox_ = gui::Rect::FromEdges(x + kMargin, kMargin, width_ - kMargin - 1, kMargin + kButtonHeight - 1);
    engine_ = std::make_unique<gui::ScreenEngineLpc>(nullptr, width_, height_, 0);
    engine_->RegisterFont(kFontId, std::move(font));
    engine_->SelectFont(kFontId);
}

uint16_t PanelStrip::ButtonAt(int x, int y) const {
    if (!keysEnabled_) return 0;
    for (const Button& b : buttons_) {
        if (b.box.Contains(x, y)) return b.code;
    }
    return 0;
}

bool PanelStrip::SetPressed(uint16_t code) {
    if (code == pressed_) return false;
    pressed_ = code;
    stale_ = true;
    return true;
}

bool PanelStrip::SetLine(const std::string& line) {
    if (line == line_) return false;
    line_ = line;
    stale_ = true;
    return true;
}

const std::vector<uint16_t>& PanelStrip::Pixels() {
    if (stale_) Draw();
    stale_ = false;
    return engine_->Canvas().buffer;
}

void PanelStrip::FillBox(const gui::Rect& box, uint32_t border, uint32_t face) {
    engine_->SetPenColour(border);
    engine_->SetFillColour(face);
    std::vector<gui::Span> spans;
    for (int32_t y = box.top; y <= box.bottom; ++y) {
        const bool edge = y == box.top || y == box.bottom;
        spans.push_back(edge ? gui::Span{box.left, y, box.Width(), 0, 0}
                             : gui::Span{box.left, y, 1, box.Width() - 2, 1});
    }
    engine_->DrawSpans(spans.data(), static_cast<int>(spans.size()));
}

void PanelStrip::Draw() {
    FillBox(gui::Rect(0, 0, width_, height_), kBackground, kBackground);
    const gui::Font& font = *engine_->CurrentFont();
    for (const Button& b : buttons_) {
        const bool held = keysEnabled_ && b.code == pressed_;
        FillBox(b.box, keysEnabled_ ? kBorder : kDisabledBorder,
                !keysEnabled_ ? kDisabledFace : held ? kHeldFace : kFace);
        const gui::Rect text = gui::TextBounds(font, b.label);
        const int32_t x = b.box.left + (b.box.Width() - text.Width()) / 2 - text.left;
        const int32_t y = b.box.top + (b.box.Height() - text.Height()) / 2 - text.top;
        engine_->SetPenColour(keysEnabled_ ? kLabel : kDisabledLabel);
        engine_->DrawText(x, y, b.label, &b.box);
    }
    const gui::Rect text = gui::TextBounds(font, "Ag");
    engine_->SetPenColour(kLineText);
    engine_->DrawText(lineBox_.left, lineBox_.top + (lineBox_.Height() - text.Height()) / 2 - text.top,
                      line_.c_str(), &lineBox_);
}
