#include "gui/WidgetEditBox.h"

#include <cctype>

namespace gui {

namespace {
const char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
const char kDigits[] = "0123456789";
}  // namespace

WidgetEditBox::WidgetEditBox(const std::string& t, Widget* parent) : WidgetControl(parent) {
    forwardEnter = true;
    SetCharsetDefault();
    text = t + kEndMarker;
    cursor = 0;
    MoveCursor(0);
}

void WidgetEditBox::UpdateClientRect() {
    client = Rect::FromEdges(4, 3, rect.Width() - 4, rect.Height() - 4);
}

void WidgetEditBox::SetCharsetDefault() { charset = std::string(kLetters) + " "; }
void WidgetEditBox::SetCharsetHexadecimal() { charset = "0123456789ABCDEF"; }
void WidgetEditBox::SetCharsetDecimal() { charset = kDigits; }
void WidgetEditBox::SetCharsetNumber() { charset = std::string(kDigits) + ".-"; }

void WidgetEditBox::SetCharsetLetters(bool withStar, bool withSpace) {
    charset = std::string(withStar ? "*" : "") + kLetters + (withSpace ? " " : "");
}

void WidgetEditBox::SetCharsetAlphanumeric(bool withStar, bool withSpace, bool withMinus, bool withUnderscore) {
    charset = std::string(withStar ? "*" : "") + kLetters + kDigits;
    if (withSpace) charset += ' ';
    if (withMinus) charset += '-';
    if (withUnderscore) charset += '_';
}

void WidgetEditBox::SetMaxLength(int32_t n) {
    maxLength = n;
    const int32_t length = static_cast<int32_t>(text.size()) - 1;
    if (length > n && n >= 0) {
        text = text.substr(0, static_cast<size_t>(n)) + kEndMarker;
        MoveCursor(0);
    }
}

void WidgetEditBox::GetText(std::string& out) const { out = text.substr(0, text.size() - 1); }

char WidgetEditBox::ApplyCase(char c, int32_t position) const {
    const unsigned char u = static_cast<unsigned char>(c);
    const bool upper = caseMode == 0 || (caseMode == 2 && position == 0);
    if (caseMode != 0 && caseMode != 1 && caseMode != 2) return c;
    return static_cast<char>(upper ? std::toupper(u) : std::tolower(u));
}

void WidgetEditBox::MoveCursor(int32_t n) {
    const int32_t last = static_cast<int32_t>(text.size()) - 1;
    int64_t c = static_cast<int64_t>(cursor) + n;
    if (c < 0) c = 0;
    if (c > last) c = last;
    cursor = static_cast<int32_t>(c);
    before = text.substr(0, static_cast<size_t>(cursor));
    after = text.substr(static_cast<size_t>(cursor) + 1);
    cursorChar[0] = ApplyCase(text[static_cast<size_t>(cursor)], cursor);
    dirty = true;
}

void WidgetEditBox::Changed() {
    if (parent != nullptr) parent->OnChildChanged(this);
    MoveCursor(0);
}

bool WidgetEditBox::OnEvent(const Event& e) {
    switch (e.type) {
        case evEnter:
            if (!active) {
                cursor = 0;
                active = true;
                MoveCursor(0);
                return true;
            }
            if (cursorChar[0] == kEndMarker) {
                active = false;
                cursor = 0;
                MoveCursor(0);
                return !forwardEnter;  // with forwardEnter the owner sees the finished text
            }
            MoveCursor(+1);
            return true;
        case evStep: {
            if (!active) return false;
            if (charset.empty()) return true;  // nothing to cycle through: the step is absorbed
            const size_t at = static_cast<size_t>(cursor);
            const char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(cursorChar[0])));
            const size_t found = charset.find(upper);
            if (found != std::string::npos) {
                // Wraps around the set, for any number of steps.
                const int64_t size = static_cast<int64_t>(charset.size());
                const int64_t j = ((static_cast<int64_t>(found) + e.Steps()) % size + size) % size;
                text[at] = ApplyCase(charset[static_cast<size_t>(j)], cursor);
            } else if (cursorChar[0] == kEndMarker) {
                if (cursor >= maxLength) return true;
                text.insert(at, 1, ApplyCase(charset[0], cursor));
            } else {
                text[at] = ApplyCase(charset[0], cursor);
            }
            Changed();
            return true;
        }
        case evCancel:
            cursor = 0;
            MoveCursor(0);
            if (forwardCancel) {
                active = false;
                return false;
            }
            if (active) {
                active = false;
                return true;
            }
            return false;
        default:
            return false;
    }
}

void WidgetEditBox::Draw() {
    if (!dirty) return;
    Painter p(this);
    p.SelectFont(fontId);
    if (p.CurrentFont() == nullptr) return;  // tried again at the next drawing pass
    DrawFocusFrame(p, rect, true);
    const Colour fg = TextColour(), bg = BackgroundColour();
    p.SetPenColour(fg);
    const Rect area = ClientOnCanvas();
    const int32_t y = (area.top + area.bottom) / 2;
    if (!active) {
        p.DrawTextAt(area.left, y, 0.0f, 0.4f, text.c_str(), &bg);
    } else {
        // The character under the cursor is shown inverted, between two bars.
        Rect b1, b2;
        p.DrawTextAt(area.left, y, 0.0f, 0.4f, before.c_str(), &bg, &b1);
        p.SetPenColour(bg);
        p.DrawTextAt(b1.right + 1, y, 0.0f, 0.4f, cursorChar, &fg, &b2);
        p.SetPenColour(fg);
        p.DrawLine(b2.left - 1, b2.top, b2.left - 1, b2.bottom);
        p.DrawTextAt(b2.right + 1, y, 0.0f, 0.4f, after.c_str(), &bg);
        p.DrawLine(b2.right + 1, b2.top, b2.right + 1, b2.bottom);
    }
    dirty = false;
}

}  // namespace gui
