#pragma once

namespace zup {

// A progress bar on standard error, drawn only when that is a terminal.
class ProgressBar {
public:
    explicit ProgressBar(const char* label);
    ~ProgressBar();
    void Show(int percent);

private:
    const char* label_;
    bool enabled_;
    bool drawn_ = false;
    int last_ = -1;
};

}  // namespace zup
