#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <utility>
#include <vector>

#include "gui/engine/ScreenEngineLpc.h"

// A small canvas over memory that stands for the framebuffer; every pixel starts at `background`.
class EngineFixture : public ::testing::Test {
protected:
    static constexpr int kWidth = 32;
    static constexpr int kHeight = 24;
    static constexpr gui::Pixel kBackground = 0x0841;

    EngineFixture() : framebuffer(kWidth * kHeight, kBackground), engine(framebuffer.data(), kWidth, kHeight, 0) {
        gui::SetEngine(&engine);
        engine.SetPenColour(0xFFFFFFFF);
    }
    ~EngineFixture() override { gui::SetEngine(nullptr); }

    gui::Pixel At(int x, int y) { return *engine.Canvas().At(x, y); }

    // Every pixel that differs from the background.
    std::set<std::pair<int, int>> Changed() {
        std::set<std::pair<int, int>> out;
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                if (At(x, y) != kBackground) out.insert({x, y});
            }
        }
        return out;
    }

    // Changed pixels of one row, as x positions.
    std::vector<int> RowXs(int y) {
        std::vector<int> xs;
        for (int x = 0; x < kWidth; ++x) {
            if (At(x, y) != kBackground) xs.push_back(x);
        }
        return xs;
    }

    std::vector<gui::Pixel> framebuffer;
    gui::ScreenEngineLpc engine;
};

using PixelSet = std::set<std::pair<int, int>>;

// A canvas of its own size that painters draw on while the object lives.
class ScopedScreen {
public:
    ScopedScreen(int width, int height)
        : framebuffer(static_cast<size_t>(width) * height), engine(framebuffer.data(), width, height, 0),
          previous_(gui::Engine()) {
        gui::SetEngine(&engine);
    }
    ~ScopedScreen() { gui::SetEngine(previous_); }

    gui::Pixel At(int x, int y) { return *engine.Canvas().At(x, y); }

    std::vector<gui::Pixel> framebuffer;
    gui::ScreenEngineLpc engine;

private:
    gui::AbstractScreenEngine* previous_;
};
