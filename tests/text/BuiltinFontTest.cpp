#include <gtest/gtest.h>

#include <string>

#include "gui/engine/Font.h"
#include "gui/engine/data/BuiltinFont.h"

namespace {

// The layouts of every screen are measured with these metrics, and the widgets print these
// codes: the edit box's end marker (2), the symbols, the letters and the degree signs.
constexpr int kAscent = 17;
constexpr int kDescent = 5;
constexpr int kMaxWidth = 31;
constexpr int kMaxHeight = 21;
struct CodeRange {
    int first, last;
};
constexpr CodeRange kCovered[] = {{1, 4},   {8, 9},    {11, 12},  {14, 22},
                                  {24, 31}, {32, 126}, {176, 178}};

bool Covered(int code) {
    for (const CodeRange& r : kCovered) {
        if (code >= r.first && code <= r.last)
            return true;
    }
    return false;
}

class BuiltinFont : public ::testing::Test {
protected:
    void SetUp() override {
        testing::internal::CaptureStdout();
        loaded_ = font_.LoadFromMemory(gui::kBuiltinFont, gui::kBuiltinFontSize);
        log_ = testing::internal::GetCapturedStdout();
    }

    gui::Font font_;
    bool loaded_ = false;
    std::string log_;
};

TEST_F(BuiltinFont, LoadsWithItsLineMetrics) {
    ASSERT_TRUE(loaded_);
    EXPECT_EQ(log_, "H=22, A=17, D=5.\nGlyph count 256.\n");
    EXPECT_EQ(font_.GlyphCount(), 256u);
    EXPECT_EQ(font_.KerningCount(), 0u);
}

TEST_F(BuiltinFont, HasExactlyTheListedCodesEachInsideTheLine) {
    ASSERT_TRUE(loaded_);
    int count = 0;
    for (int code = 0; code < 256; ++code) {
        const gui::Glyph* g = font_.GlyphFor(static_cast<uint8_t>(code));
        ASSERT_EQ(g != nullptr, Covered(code)) << "code " << code;
        if (g == nullptr)
            continue;
        ++count;
        EXPECT_GT(g->advance, 0) << "code " << code;
        EXPECT_LE(g->width, kMaxWidth) << "code " << code;
        EXPECT_LE(g->height, kMaxHeight) << "code " << code;
        if (code == ' ')
            continue;
        // Every glyph but the space shows something, and stays between the line's top and bottom.
        EXPECT_GT(g->width * g->height, 0) << "code " << code;
        EXPECT_LE(g->top, kAscent) << "code " << code;
        EXPECT_LE(g->height - g->top, kDescent) << "code " << code;
    }
    EXPECT_EQ(count, 123);
}

TEST_F(BuiltinFont, SpaceAndCapitalsAdvanceAsTheLayoutsExpect) {
    ASSERT_TRUE(loaded_);
    const gui::Glyph* space = font_.GlyphFor(' ');
    ASSERT_NE(space, nullptr);
    EXPECT_EQ(space->advance, 7);
    EXPECT_TRUE(space->bitmap.empty());
    EXPECT_EQ(font_.GlyphFor('A')->advance, 13);
    EXPECT_EQ(font_.GlyphFor('B')->advance, 13);
    const gui::Rect ab = gui::TextBounds(font_, "AB");
    EXPECT_EQ(ab.left, 0);
    EXPECT_EQ(ab.right, 25);
}

}  // namespace
