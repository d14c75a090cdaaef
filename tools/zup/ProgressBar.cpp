#include "tools/zup/ProgressBar.h"

#include <unistd.h>

#include <cstdio>

namespace zup {

namespace {
constexpr int kWidth = 40;
}

ProgressBar::ProgressBar(const char* label) : label_(label), enabled_(::isatty(2) == 1) {}

ProgressBar::~ProgressBar() {
    if (drawn_)
        std::fputc('\n', stderr);
}

void ProgressBar::Show(int percent) {
    if (!enabled_ || percent == last_ || percent < 0 || percent > 100)
        return;
    last_ = percent;
    // The reader's own lines come first.
    std::fflush(stdout);
    char bar[kWidth + 1];
    const int filled = percent * kWidth / 100;
    for (int i = 0; i < kWidth; ++i)
        bar[i] = i < filled ? '#' : '.';
    bar[kWidth] = '\0';
    std::fprintf(stderr, "\r%-8s [%s] %3d%%", label_, bar, percent);
    std::fflush(stderr);
    drawn_ = true;
}

}  // namespace zup
