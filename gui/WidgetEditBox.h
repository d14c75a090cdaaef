#pragma once

#include <cstdint>
#include <string>

#include "gui/WidgetControl.h"

namespace gui {

// Text entry on a panel without a keyboard: steps cycle the character under the cursor through
// a character set, ENTER moves on, and ENTER on the end marker (shown after the text) finishes.
// Stepping on the end marker appends a character, up to maxLength. Nothing is masked.
class WidgetEditBox : public WidgetControl {
public:
    static constexpr char kEndMarker = 2;

    WidgetEditBox(const std::string& text, Widget* parent);

    bool OnEvent(const Event& e) override;
    void Draw() override;
    void UpdateClientRect() override;

    void SetMaxLength(int32_t n);
    // The text without its end marker.
    void GetText(std::string& out) const;
    void MoveCursor(int32_t n);

    // Character set presets.
    void SetCharsetDefault();
    void SetCharsetHexadecimal();
    void SetCharsetDecimal();
    void SetCharsetNumber();
    void SetCharsetLetters(bool withStar, bool withSpace);
    void SetCharsetAlphanumeric(bool withStar, bool withSpace, bool withMinus, bool withUnderscore);

    // 0 all upper case, 1 all lower case, 2 upper case at position 0 and lower case elsewhere.
    int32_t caseMode = 2;
    std::string text;  // always ends with the marker
    int32_t cursor = 0;
    int32_t maxLength = 10;
    std::string charset;
    std::string before;
    std::string after;
    char cursorChar[2] = {0, 0};

private:
    char ApplyCase(char c, int32_t position) const;
    void Changed();
};

}  // namespace gui
