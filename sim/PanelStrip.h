#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "gui/engine/Rect.h"
#include "gui/engine/ScreenEngineLpc.h"

// The strip the simulator's window shows under the display: the front panel's keys as buttons
// (ESC, ENTER, F1, UP, DOWN) and the last line the program printed, drawn with the program's own
// font at the display's scale. Coordinates are the strip's, (0, 0) at its top left.
class PanelStrip {
public:
    // keysEnabled false: the root brings its own key device, the buttons are shown disabled.
    PanelStrip(int displayWidth, bool keysEnabled);

    int Width() const { return width_; }
    int Height() const { return height_; }

    // The Linux key code of the button at (x, y); 0 for none, and always 0 when disabled.
    uint16_t ButtonAt(int x, int y) const;
    // The button drawn held down (0: none); returns true when that changes the picture.
    bool SetPressed(uint16_t code);
    // Returns true when that changes the picture.
    bool SetLine(const std::string& line);

    // The strip as RGB565 rows of Width() pixels.
    const std::vector<uint16_t>& Pixels();

private:
    struct Button {
        const char* label;
        uint16_t code;
        gui::Rect box;
    };

    void Draw();
    void FillBox(const gui::Rect& box, uint32_t border, uint32_t face);

    std::vector<Button> buttons_;
    bool keysEnabled_;
    int width_ = 0;
    int height_ = 0;
    gui::Rect lineBox_;
    std::unique_ptr<gui::ScreenEngineLpc> engine_;
    uint16_t pressed_ = 0;
    std::string line_;
    bool stale_ = true;
};
