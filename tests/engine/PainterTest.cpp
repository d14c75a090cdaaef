#include <gtest/gtest.h>

#include "gui/engine/DrawingScratch.h"
#include "gui/engine/Painter.h"
#include "tests/engine/EngineFixture.h"

using gui::ColourNone;
using gui::Painter;
using gui::Point;
using gui::Rect;

TEST(RectTest, GeometryAndIntersections) {
    const Rect r(10, 20, 5, 3);
    EXPECT_EQ(r, Rect::FromEdges(10, 20, 14, 22));
    EXPECT_EQ(r.Width(), 5);
    EXPECT_EQ(r.Height(), 3);
    EXPECT_TRUE(Rect().IsNull());
    EXPECT_FALSE(r.IsNull());

    struct Case {
        Rect a, b, expected;
    };
    const Case cases[] = {
        {Rect::FromEdges(0, 0, 9, 9), Rect::FromEdges(5, 5, 20, 20), Rect::FromEdges(5, 5, 9, 9)},
        {Rect::FromEdges(0, 0, 9, 9), Rect::FromEdges(10, 0, 19, 9), Rect()},
        {Rect::FromEdges(0, 0, 9, 9), Rect(), Rect()},
        // Reversed bounds are put in order first.
        {Rect::FromEdges(9, 9, 0, 0), Rect::FromEdges(2, 3, 4, 5), Rect::FromEdges(2, 3, 4, 5)},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Rect::Intersect(c.a, c.b), c.expected);
        EXPECT_EQ(Rect::Intersect(c.b, c.a), c.expected);
    }

    EXPECT_TRUE(r.Contains(10, 20));
    EXPECT_TRUE(r.Contains(14, 22));
    EXPECT_FALSE(r.Contains(15, 22));
    EXPECT_TRUE(Rect::FromEdges(14, 22, 10, 20).Contains(12, 21));

    EXPECT_EQ(r.AnchorPoint(0, 0), Point(10, 20));
    EXPECT_EQ(r.AnchorPoint(0.5f, 0.5f), Point(12, 21));
    EXPECT_EQ(r.AnchorPoint(1, 1), Point(15, 23));  // just past the far edges
    EXPECT_EQ(Rect::FromEdges(-10, -10, -1, -1).AnchorPoint(0.25f, 0.25f), Point(-7, -7));
}

class PainterTest : public EngineFixture {
protected:
    static constexpr gui::Pixel kPen = 0xF800;
    static constexpr gui::Pixel kFill = 0x07E0;

    PainterTest() {
        engine.SetPenColour(0xFFFF0000);
        engine.SetFillColour(0xFF00FF00);
    }

    // One character a pixel: P pen, F fill, . untouched.
    std::string Picture(const Rect& area) {
        std::string out;
        for (int y = area.top; y <= area.bottom; ++y) {
            for (int x = area.left; x <= area.right; ++x) {
                const gui::Pixel p = At(x, y);
                out += p == kPen ? 'P' : p == kFill ? 'F' : p == kBackground ? '.' : '?';
            }
            out += '\n';
        }
        return out;
    }

    gui::ScreenPort port;
};

TEST_F(PainterTest, RectanglesWithBorders) {
    Painter p(&port);
    p.DrawRect(Rect(1, 1, 6, 5), 1, 2, 2, 1);
    EXPECT_EQ(Picture(Rect(0, 0, 8, 7)),
              "........\n"
              ".PPPPPP.\n"
              ".PPPPPP.\n"
              ".PFFFPP.\n"
              ".PFFFPP.\n"
              ".PPPPPP.\n"
              "........\n");
}

TEST_F(PainterTest, BordersThatMeetPaintTheWholeRectangleInPen) {
    Painter p(&port);
    p.DrawRect(Rect(0, 0, 3, 4), 2, 1);
    EXPECT_EQ(Picture(Rect(0, 0, 3, 4)), "PPP\nPPP\nPPP\nPPP\n");
}

TEST_F(PainterTest, RectangleWithoutColourLeavesItsRunsAlone) {
    Painter p(&port);
    p.SetFillColour(ColourNone);
    p.DrawRect(Rect(0, 0, 4, 4), 1, 1);
    EXPECT_EQ(Picture(Rect(0, 0, 4, 4)), "PPPP\nP..P\nP..P\nPPPP\n");
    p.SetFillColour(0xFF00FF00);
    p.DrawRect(Rect(5, 0, 3, 2), 0, 0);  // no border: fill alone
    EXPECT_EQ(Picture(Rect(5, 0, 3, 2)), "FFF\nFFF\n");
    p.DrawRect(Rect(0, 5, 3, 0), 1, 1);  // no rows: nothing
    EXPECT_EQ(Picture(Rect(0, 5, 4, 1)), "....\n");
}

TEST_F(PainterTest, FrameIsFourLines) {
    Painter p(&port);
    p.DrawFrame(Rect(2, 2, 4, 3));
    EXPECT_EQ(Picture(Rect(2, 2, 4, 3)), "PPPP\nP..P\nPPPP\n");
}

TEST_F(PainterTest, TriangleFillsUpToItsExclusiveRightCrossing) {
    Painter p(&port);
    p.SetPenColour(ColourNone);
    const Point triangle[] = {{0, 0}, {10, 0}, {0, 10}};
    p.DrawPolygon(triangle, 3);
    for (int y = 0; y < 10; ++y) {
        std::vector<int> expected;
        for (int x = 0; x <= 9 - y; ++x) expected.push_back(x);
        EXPECT_EQ(RowXs(y), expected) << "row " << y;
    }
    EXPECT_TRUE(RowXs(10).empty());
}

TEST_F(PainterTest, PolygonBeyondTheCoordinateRangeIsNotFilled) {
    // Its rows would not fit their 16-bit numbers (AddressSanitizer builds would stop at the
    // stray write); the outline is drawn as lines, which clip.
    Painter p(&port);
    p.SetPenColour(ColourNone);
    const Point tall[] = {{0, -40000}, {10, 0}, {0, 10}};
    const Point wide[] = {{-40000, 0}, {10, 0}, {0, 10}};
    p.DrawPolygon(tall, 3);
    p.DrawPolygon(wide, 3);
    for (int y = 0; y < kHeight; ++y) EXPECT_TRUE(RowXs(y).empty()) << "row " << y;
}

TEST_F(PainterTest, SquarePolygonLeavesItsRightColumnToTheOutline) {
    const Point square[] = {{0, 0}, {9, 0}, {9, 9}, {0, 9}};
    {
        Painter p(&port);
        p.SetPenColour(ColourNone);
        p.DrawPolygon(square, 4);
    }
    for (int y = 0; y <= 9; ++y) EXPECT_EQ(RowXs(y).size(), 9u) << "row " << y;
    EXPECT_EQ(RowXs(0).back(), 8);
    {
        Painter p(&port);
        p.SetPenColour(0xFFFF0000);
        p.SetFillColour(ColourNone);
        p.DrawPolygon(square, 4);
    }
    EXPECT_EQ(At(9, 5), kPen);
    EXPECT_EQ(At(5, 5), kFill);
}

TEST_F(PainterTest, PolygonThroughAVertexCountsItOnce) {
    // A diamond with a vertex on each axis and a flat-topped hexagon: every filled row has
    // exactly one run, with no hole or spike where edges meet.
    const Point diamond[] = {{5, 0}, {10, 5}, {5, 10}, {0, 5}};
    const Point hexagon[] = {{15, 2}, {20, 2}, {23, 6}, {20, 10}, {15, 10}, {12, 6}};
    Painter p(&port);
    p.SetPenColour(ColourNone);
    p.DrawPolygon(diamond, 4);
    p.DrawPolygon(hexagon, 6);
    for (int y = 0; y <= 10; ++y) {
        for (int left : {0, 11}) {
            std::vector<int> xs;
            for (int x : RowXs(y)) {
                if ((x >= 11) == (left == 11)) xs.push_back(x);
            }
            for (size_t i = 1; i < xs.size(); ++i) EXPECT_EQ(xs[i], xs[i - 1] + 1) << "row " << y;
        }
    }
    EXPECT_EQ(RowXs(5).front(), 0);
    EXPECT_EQ(RowXs(2).size(), 4u + 5u);  // diamond 3..6, hexagon 15..19
}

TEST_F(PainterTest, RoundedRectanglePointCounts) {
    Painter p(&port);
    const std::vector<Point>& points = gui::DrawingScratch::Shared().points;
    p.DrawRoundedRect(Rect(0, 0, 30, 20), 10, 10, 15);
    EXPECT_EQ(points.size(), 16u);  // trunc(0.785 * sqrt(10)) + 2 points a corner
    EXPECT_EQ(points.front(), Point(29, 10));  // the top-right arc starts level with its centre
    p.DrawRoundedRect(Rect(0, 0, 30, 20), 16, 16, Painter::TopLeft | Painter::TopRight);
    EXPECT_EQ(points.size(), 5u + 5u + 1u + 1u);
    p.DrawRoundedRect(Rect(0, 0, 30, 20), 10, 10, 0);
    EXPECT_EQ(points, (std::vector<Point>{{29, 0}, {0, 0}, {0, 19}, {29, 19}}));
}

TEST_F(PainterTest, RoundedTitleBarKeepsItsLowerCornersSquare) {
    Painter p(&port);
    p.DrawRoundedRect(Rect(0, 0, 30, 12), 8, 8, Painter::TopLeft | Painter::TopRight);
    EXPECT_EQ(At(0, 0), kBackground);
    EXPECT_EQ(At(29, 0), kBackground);
    EXPECT_EQ(At(0, 11), kPen);
    EXPECT_EQ(At(29, 11), kPen);
    EXPECT_EQ(At(15, 6), kFill);
}
