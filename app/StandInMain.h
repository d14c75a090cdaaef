#pragma once

#include <deque>
#include <string>

#include "gui/Widget.h"
#include "gui/WidgetProgressBar.h"

// Until the boot state machine is in place: a root widget that shows the test card, a dialog of
// the toolkit's controls (UP and DOWN move its menu) and the last key events it received. ESC
// twice in a row ends the program as a normal boot does (status 0); F1 and then ESC twice ends it
// asking for a reboot (status 1).
class StandInMain : public gui::Widget {
public:
    enum State { sRunning = 1, sExit = 4 };

    StandInMain(int32_t width, int32_t height);

    // Start-up gives the root the focus; the first step hands it to the menu.
    void Step();
    bool OnEvent(const Event& e) override;
    void Draw() override;

    int32_t m_eState = sRunning;
    bool rebootRequested = false;

private:
    std::deque<std::string> lastEvents_;
    gui::WidgetProgressBar* progress_;
    gui::Widget* menu_;
    int cancels_ = 0;
};
