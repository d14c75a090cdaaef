#include "tovrask/DialogProgressBar.h"

namespace tovrask {

DialogProgressBar::DialogProgressBar(const std::string& t, const std::string& text, int32_t maximum,
                                     gui::Widget* parent)
    : Dialog(250, 120, t, parent) {
    const int32_t width = client.Width() - 20;
    textLabel = new gui::WidgetStatic(text, this);
    textLabel->SetRect(gui::Rect(10, 10, width, 20), true);
    progressBar = new gui::WidgetProgressBar(this);
    progressBar->maximum = maximum;
    progressBar->minimum = 0;
    progressBar->SetValue(0);
    progressBar->SetRect(gui::Rect(10, 45, width, 15), true);
}

}  // namespace tovrask
