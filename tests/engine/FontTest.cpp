#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "gui/engine/Font.h"
#include "gui/engine/Painter.h"
#include "tests/engine/EngineFixture.h"

using gui::Font;
using gui::Rect;

namespace {

// Writes font images: a header, glyph records in code order, kerning pairs.
class FontImage {
public:
    FontImage(uint8_t h, uint8_t a, uint8_t d, uint16_t count) {
        bytes = {'Q', 'F', 'O', 'N', 'T', '.', '1', 0, 1, 0, h, a, d};
        U16(count);
    }
    FontImage& Absent() { return Record(0, 0, 0, {}, 0, 0, 0); }
    FontImage& Space(uint8_t advance) { return Record(advance, 0, 0, {}, 0, 0, 0); }
    FontImage& Record(uint8_t advance, uint8_t height, uint8_t width, const std::vector<uint8_t>& bits,
                      int8_t top, uint16_t kernFirst, uint16_t kernEnd) {
        U16(1);
        bytes.push_back(advance);
        bytes.push_back(height);
        bytes.push_back(width);
        if (height * width > 0) {
            bytes.insert(bytes.end(), bits.begin(), bits.end());
            bytes.push_back(static_cast<uint8_t>(top));
            bytes.push_back(0);
            U16(kernFirst);
            U16(kernEnd);
        }
        return *this;
    }
    FontImage& Kerning(const std::vector<std::pair<uint8_t, int8_t>>& pairs) {
        U16(static_cast<uint16_t>(pairs.size()));
        for (const auto& p : pairs) {
            bytes.push_back(p.first);
            bytes.push_back(static_cast<uint8_t>(p.second));
        }
        return *this;
    }
    void U16(uint16_t v) {
        bytes.push_back(static_cast<uint8_t>(v));
        bytes.push_back(static_cast<uint8_t>(v >> 8));
    }

    std::vector<uint8_t> bytes;
};

// Codes 0..4: absent, a space of 3, a 2x3 full block standing 3 above the baseline, a 1x1 dot
// with coverage 128 on the baseline row, and a glyph kerned after code 2 by -1 and after 3 by +2.
std::vector<uint8_t> SmallFont() {
    FontImage f(10, 8, 2, 5);
    f.Absent();
    f.Space(3);
    f.Record(4, 2, 3, {255, 255, 255, 255, 255, 255}, 3, 0, 0);
    f.Record(2, 1, 1, {128}, 1, 0, 0);
    f.Record(5, 4, 1, {255, 255, 255, 255}, 2, 0, 2);
    f.Kerning({{2, -1}, {3, 2}, {2, 7}});
    return f.bytes;
}

}  // namespace

TEST(FontLoading, PrintsItsMetricsAndPadsAShortTable) {
    const std::vector<uint8_t> image = SmallFont();
    Font font;
    testing::internal::CaptureStdout();
    ASSERT_TRUE(font.LoadFromMemory(image.data(), image.size()));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "H=10, A=8, D=2.\nGlyph count 5.\n");
    EXPECT_EQ(font.height, 10);
    EXPECT_EQ(font.GlyphCount(), 256u);
    EXPECT_EQ(font.GlyphFor(0), nullptr);
    ASSERT_NE(font.GlyphFor(1), nullptr);  // a space is a glyph without a bitmap
    EXPECT_TRUE(font.GlyphFor(1)->bitmap.empty());
    EXPECT_EQ(font.GlyphFor(5), nullptr);
    EXPECT_EQ(font.GlyphFor(255), nullptr);
    EXPECT_EQ(font.Kerning(2, 4), -1);  // the first matching pair of the glyph's own range
    EXPECT_EQ(font.Kerning(3, 4), 2);
    EXPECT_EQ(font.Kerning(1, 4), 0);
    EXPECT_EQ(font.Kerning(2, 3), 0);
    EXPECT_EQ(font.Kerning(2, 9), 0);
}

TEST(FontLoading, BadOrCutImagesLeaveTheFontEmpty) {
    std::vector<uint8_t> image = SmallFont();
    Font font;
    testing::internal::CaptureStdout();
    for (size_t size = 0; size < image.size(); ++size) {
        ASSERT_TRUE(font.LoadFromMemory(image.data(), image.size()));
        EXPECT_FALSE(font.LoadFromMemory(image.data(), size)) << size;
        EXPECT_EQ(font.GlyphCount(), 0u) << size;
        EXPECT_EQ(font.GlyphFor(2), nullptr);
        EXPECT_EQ(gui::TextBounds(font, "\x02\x02").Width(), 0);
        EXPECT_EQ(font.height, 0);
    }
    image[6] = '2';
    EXPECT_FALSE(font.LoadFromMemory(image.data(), image.size()));
    // A record claiming more bitmap than the image holds.
    FontImage huge(10, 8, 2, 1);
    huge.U16(1);
    huge.bytes.insert(huge.bytes.end(), {9, 255, 255});
    EXPECT_FALSE(font.LoadFromMemory(huge.bytes.data(), huge.bytes.size()));
    EXPECT_FALSE(font.LoadFromMemory(nullptr, 100));
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(font.GlyphCount(), 0u);
}

class TextTest : public EngineFixture {
protected:
    TextTest() {
        const std::vector<uint8_t> image = SmallFont();
        auto font = std::make_unique<Font>();
        testing::internal::CaptureStdout();
        font->LoadFromMemory(image.data(), image.size());
        engine.RegisterFont(0, std::move(font));
        engine.SelectFont(0);
        testing::internal::GetCapturedStdout();
        engine.SetPenColour(0x40FFFFFF);  // the pen's alpha plays no part: coverage does
    }
    const Font& TheFont() { return *engine.CurrentFont(); }
};

TEST_F(TextTest, MeasuringSumsAdvancesAndKerning) {
    struct Case {
        const char* text;
        Rect box;
    };
    const Case cases[] = {
        {"", Rect()},
        {"\x02", Rect::FromEdges(0, -8, 3, 1)},              // bottom: D * 7 / 10 = 1
        {"\x02\x02", Rect::FromEdges(0, -8, 7, 1)},
        {"\x02\n\x02", Rect::FromEdges(0, -8, 7, 1)},        // no glyph for the line feed
        {"\x02\x04", Rect::FromEdges(0, -8, 7, 2)},          // 4 + (-1 + 5); glyph 4 reaches 2 down
        {"\x01", Rect::FromEdges(0, -8, 2, 1)},
        {"\x05\x06", Rect::FromEdges(0, -8, -1, 1)},         // nothing but absent glyphs
    };
    for (const Case& c : cases) EXPECT_EQ(gui::TextBounds(TheFont(), c.text), c.box) << c.text;
}

TEST_F(TextTest, GlyphsBlendTheirCoverageAtThePenPosition) {
    engine.DrawText(2, 10, "\x02\x01\x03\x02\x04", nullptr);
    // Block at x 2..4, rows 7..8; space advances 3; dot at x 9 on row 9; block at 11..13; the
    // kerned bar at 11 + 4 - 1 = 14, rows 8..11.
    EXPECT_EQ(RowXs(7), (std::vector<int>{2, 3, 4, 11, 12, 13}));
    EXPECT_EQ(RowXs(8), (std::vector<int>{2, 3, 4, 11, 12, 13, 14}));
    EXPECT_EQ(RowXs(9), (std::vector<int>{9, 14}));
    EXPECT_EQ(At(2, 7), 0xFFFF);
    EXPECT_EQ(At(9, 9), gui::BlendRgb(0xF8FCF8, 128, kBackground));
}

TEST_F(TextTest, TheClipIsInclusive) {
    const Rect clip = Rect::FromEdges(3, 8, 4, 8);
    engine.DrawText(2, 10, "\x02", &clip);
    EXPECT_EQ(Changed(), (PixelSet{{3, 8}, {4, 8}}));
}

TEST_F(TextTest, AnchoredTextPlacesItsBox) {
    gui::ScreenPort port;
    gui::Painter p(&port);
    struct Case {
        float fx, fy;
        Rect box;
    };
    // "\x02\x02" measures 8 x 10 (top -8, bottom 1).
    const Case cases[] = {
        {0, 0, Rect(10, 5, 8, 10)},
        {0.5f, 0.5f, Rect(6, 0, 8, 10)},
        {1, 1, Rect(2, -5, 8, 10)},
    };
    for (const Case& c : cases) {
        Rect box;
        p.DrawTextAt(10, 5, c.fx, c.fy, "", nullptr, &box);
        EXPECT_TRUE(box.IsNull());
        p.DrawTextAt(10, 5, c.fx, c.fy, "\x02\x02", nullptr, &box);
        EXPECT_EQ(box, c.box) << c.fx;
    }
    std::fill(engine.Canvas().buffer.begin(), engine.Canvas().buffer.end(), kBackground);
    const gui::Colour red = 0xFFFF0000;
    Rect box;
    p.DrawTextInRect(Rect(0, 0, 20, 12), 0.5f, 0.5f, "\x02", &red, &box);
    EXPECT_EQ(box, Rect(8, 1, 4, 10));
    EXPECT_EQ(At(8, 1), 0xF800);   // the background box
    EXPECT_EQ(At(8, 6), 0xFFFF);   // the glyph over it: baseline 9, rows 6..7
    EXPECT_EQ(At(7, 6), kBackground);
    EXPECT_EQ(engine.FillColour(), 0xFFFFFFFFu) << "the fill colour is put back";
}

TEST_F(TextTest, WithoutAFontNothingIsDrawnOrMeasured) {
    testing::internal::CaptureStdout();
    engine.SelectFont(3);
    testing::internal::GetCapturedStdout();
    gui::ScreenPort port;
    gui::Painter p(&port);
    Rect box = Rect(1, 2, 3, 4);
    const gui::Colour red = 0xFFFF0000;
    p.DrawTextAt(5, 5, 0, 0, "\x02", &red, &box);
    EXPECT_EQ(box, Rect(1, 2, 3, 4));
    EXPECT_TRUE(Changed().empty());
}
