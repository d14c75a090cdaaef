#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include "platform/FrameRecorder.h"
#include "tests/support/PngFile.h"
#include "tests/support/TempDir.h"

using testsupport::PngFile;
using testsupport::TempDir;

TEST(FrameRecorder, WritesEveryFrameInOrderOnceFinished) {
    // More frames than may wait at once: the recorder holds the program back instead of
    // dropping any. Rows of 3 pixels with one pixel of padding each.
    TempDir dir;
    constexpr int kFrames = 100;
    platform::FrameRecorder recorder(dir.Path(), 3, 2, 8);
    for (int n = 0; n < kFrames; ++n) {
        std::vector<uint8_t> frame(16, 0);
        frame[0] = static_cast<uint8_t>(n);  // the first pixel's RGB565 word is n
        frame[1] = 0;
        recorder.Record(frame);
    }
    recorder.Finish();
    for (int n = 0; n < kFrames; ++n) {
        char name[32];
        std::snprintf(name, sizeof(name), "/frame-%04d.png", n + 1);
        PngFile png;
        ASSERT_TRUE(png.Load(dir.Path() + name)) << name;
        EXPECT_EQ(png.width, 3);
        EXPECT_EQ(png.height, 2);
        const unsigned blue = n & 31, green = n >> 5;
        EXPECT_EQ(png.At(0, 0), ((green << 2 | green >> 4) << 8) | (blue << 3 | blue >> 2)) << name;
    }
}
