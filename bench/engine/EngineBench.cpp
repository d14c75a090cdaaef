// Full-screen work of the screen engine beside the memory traffic it cannot beat: memset for
// fills and lines, memcpy for images and the flush. Bytes per second are those of the 800x480
// RGB565 picture each iteration touches.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "gui/engine/Painter.h"
#include "gui/engine/ScreenEngineLpc.h"

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 480;
constexpr size_t kBytes = static_cast<size_t>(kWidth) * kHeight * 2;

struct Screen {
    std::vector<gui::Pixel> framebuffer = std::vector<gui::Pixel>(kWidth * kHeight);
    gui::ScreenEngineLpc engine{framebuffer.data(), kWidth, kHeight, kWidth * 2};
    gui::ScreenPort port;
    Screen() { gui::SetEngine(&engine); }
};

void Finish(benchmark::State& state, size_t bytes) {
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}

void FillDrawRect(benchmark::State& state) {
    Screen s;
    gui::Painter p(&s.port);
    p.SetFillColour(0xFF204080);
    for (auto _ : state) {
        p.DrawRect(gui::Rect(0, 0, kWidth, kHeight), 0, 0);
        benchmark::ClobberMemory();
    }
    Finish(state, kBytes);
}
BENCHMARK(FillDrawRect);

void FillMemset(benchmark::State& state) {
    std::vector<gui::Pixel> buffer(kWidth * kHeight);
    for (auto _ : state) {
        std::memset(buffer.data(), 0x5A, kBytes);
        benchmark::ClobberMemory();
    }
    Finish(state, kBytes);
}
BENCHMARK(FillMemset);

void HorizontalLines(benchmark::State& state) {
    Screen s;
    s.engine.SetPenColour(0xFFFFFFFF);
    for (auto _ : state) {
        for (int y = 0; y < kHeight; ++y) s.engine.DrawLine(0, y, kWidth - 1, y);
        benchmark::ClobberMemory();
    }
    Finish(state, kBytes);
}
BENCHMARK(HorizontalLines);

// One pixel per column of every line: the bytes written are those of a full screen.
void DiagonalLines(benchmark::State& state) {
    Screen s;
    s.engine.SetPenColour(0xFFFFFFFF);
    for (auto _ : state) {
        for (int y = 0; y < kHeight; ++y) s.engine.DrawLine(0, y, kWidth - 1, kHeight - 1 - y);
        benchmark::ClobberMemory();
    }
    Finish(state, kBytes);
}
BENCHMARK(DiagonalLines);

void ImageHalfAlpha(benchmark::State& state) {
    Screen s;
    gui::Image image;
    image.width = kWidth;
    image.height = kHeight;
    image.pixels.assign(static_cast<size_t>(kWidth) * kHeight, 0x80C08040);
    for (auto _ : state) {
        s.engine.DrawImage(0, 0, image);
        benchmark::ClobberMemory();
    }
    Finish(state, kBytes);
}
BENCHMARK(ImageHalfAlpha);

// The image's own 32-bit pixels are read too: the reference copies both.
void ImageMemcpy(benchmark::State& state) {
    std::vector<uint32_t> source(static_cast<size_t>(kWidth) * kHeight, 0x80C08040);
    std::vector<uint32_t> target(source.size());
    for (auto _ : state) {
        std::memcpy(target.data(), source.data(), source.size() * 4);
        benchmark::ClobberMemory();
    }
    Finish(state, kBytes);
}
BENCHMARK(ImageMemcpy);

void Flush(benchmark::State& state) {
    Screen s;
    for (auto _ : state) {
        s.engine.MarkAllDrawn();  // a whole screen redrawn
        s.engine.Flush();
        benchmark::ClobberMemory();
    }
    Finish(state, kBytes);
}
BENCHMARK(Flush);

void FlushPadded(benchmark::State& state) {
    std::vector<gui::Pixel> framebuffer(static_cast<size_t>(kWidth + 16) * kHeight);
    gui::ScreenEngineLpc engine(framebuffer.data(), kWidth, kHeight, (kWidth + 16) * 2);
    for (auto _ : state) {
        engine.MarkAllDrawn();
        engine.Flush();
        benchmark::ClobberMemory();
    }
    Finish(state, kBytes);
}
BENCHMARK(FlushPadded);

void FlushMemcpy(benchmark::State& state) {
    std::vector<gui::Pixel> a(kWidth * kHeight), b(kWidth * kHeight);
    for (auto _ : state) {
        std::memcpy(b.data(), a.data(), kBytes);
        benchmark::ClobberMemory();
    }
    Finish(state, kBytes);
}
BENCHMARK(FlushMemcpy);

}  // namespace

BENCHMARK_MAIN();
