// The viewscreen surface: exact read-back, clipping at every edge, the fill state that
// carries over, pens and the shield ellipse.

#include "surface.h"

#include <gtest/gtest.h>

#include <set>

#include "colors.h"
#include "sprites.h"

namespace korvane {
namespace {

constexpr int W = Surface::kWidth;
constexpr int H = Surface::kHeight;

int CountColor(const Surface& s, Color c) {
    int n = 0;
    for (Color p : s.Pixels()) n += p == c;
    return n;
}

TEST(Surface, ReadsBackExactlyAndGivesInvalidColourOutside) {
    Surface s;
    EXPECT_EQ(CountColor(s, kBlack), W * H);
    s.SetPixelV(0, 0, kBlue);
    EXPECT_EQ(s.GetPixel(0, 0), 0x00FF0000u);  // blue sits in the third byte
    s.SetPixelV(W - 1, H - 1, Rgb(1, 2, 3));
    EXPECT_EQ(s.GetPixel(W - 1, H - 1), 0x00030201u);
    for (auto [px, py] : {std::pair{-1, 0}, {0, -1}, {W, 0}, {0, H}, {5, 482}, {700, -5}}) {
        EXPECT_EQ(s.GetPixel(px, py), kInvalidColor) << px << "," << py;
    }
    for (Color c : {kBlack, kWhite, kGrey, kLightGrey, kCyan, kYellow}) EXPECT_NE(kInvalidColor, c);
    s.SetPixelV(-1, 5, kRed);
    s.SetPixelV(W, 5, kRed);
    s.SetPixelV(5, H, kRed);
    EXPECT_EQ(CountColor(s, kRed), 0);
}

TEST(Surface, SpriteCopiesAreOpaqueAndClippedAtEveryEdge) {
    const Sprites& sp = GameSprites();
    Surface s;
    // Opaque: the black pixels of a sprite black out what lay under them.
    s.SetPixelV(10, 10, kYellow);
    s.BitBlt(sp.pictorpedox, 10, 9);  // (10,10) is the top-middle, black in the X
    EXPECT_EQ(s.GetPixel(10, 10), kBlack);
    EXPECT_EQ(s.GetPixel(11, 10), kRed);

    // Ship at x = 630: columns 630..641 drawn, 642 and 643 clipped.
    s.Clear();
    s.BitBlt(sp.picHalcyra, 630, 455);
    EXPECT_EQ(s.GetPixel(636, 469), kWhite);
    EXPECT_EQ(s.GetPixel(641, 469), kWhite);  // column 11 of row 14
    // Crosshairs with their centre at x = 3: the sprite's left column is clipped.
    s.Clear();
    s.BitBlt(sp.piccrosshairs, -1, 100);
    EXPECT_EQ(s.GetPixel(0, 104), kMagenta);  // column 1 of row 4
    EXPECT_EQ(s.GetPixel(3, 100), kMagenta);
    // Top, bottom and corners.
    s.Clear();
    s.BitBlt(sp.picVessikship, -50, -60);
    EXPECT_EQ(s.GetPixel(0, 40), kGrey);  // the cube's bottom row
    EXPECT_EQ(s.GetPixel(50, 0), kGrey);  // its right column
    EXPECT_EQ(s.GetPixel(51, 0), kBlack);
    s.Clear();
    s.BitBlt(sp.picVessikship, 600, 440);
    EXPECT_EQ(s.GetPixel(600, 481), kGrey);
    EXPECT_EQ(s.GetPixel(641, 440), kGrey);
    EXPECT_EQ(s.GetPixel(641, 441), kTeal);
    // Wholly outside: nothing drawn, nothing broken.
    s.Clear();
    s.BitBlt(sp.picVessikship, 700, 100);
    s.BitBlt(sp.picVessikship, -200, 100);
    s.BitBlt(sp.picVessikship, 100, -150);
    s.BitBlt(sp.picVessikship, 100, 490);
    EXPECT_EQ(CountColor(s, kBlack), W * H);
}

TEST(Surface, EraseTorpedoBlacksOutAllNinePixels) {
    const Sprites& sp = GameSprites();
    Surface s;
    for (int py = 99; py <= 101; ++py)
        for (int px = 199; px <= 201; ++px) s.SetPixelV(px, py, kYellow);
    s.BitBlt(sp.pictorpedox, 199, 99);
    s.BitBlt(sp.pictorpedoerase, 199, 99);
    for (int py = 99; py <= 101; ++py)
        for (int px = 199; px <= 201; ++px) EXPECT_EQ(s.GetPixel(px, py), kBlack);
}

TEST(Surface, LinesAreOnePixelWideWithBothEndsAndClipped) {
    Surface s;
    s.Line(10, 10, 20, 10, kCyan);
    EXPECT_EQ(CountColor(s, kCyan), 11);
    s.Clear();
    s.Line(326, 240, 326, 449, kCyan);  // a vertical beam
    EXPECT_EQ(CountColor(s, kCyan), 210);
    s.Clear();
    s.Line(0, 0, 30, 10, kCyan);
    EXPECT_EQ(s.GetPixel(0, 0), kCyan);
    EXPECT_EQ(s.GetPixel(30, 10), kCyan);
    EXPECT_EQ(CountColor(s, kCyan), 31);  // one pixel per column on a shallow line
    s.Clear();
    s.Line(-100, -100, 700, 700, kCyan);  // crosses the whole surface, clipped
    EXPECT_EQ(s.GetPixel(0, 0), kCyan);
    EXPECT_EQ(s.GetPixel(481, 481), kCyan);
    EXPECT_EQ(CountColor(s, kCyan), H);
}

TEST(Surface, CircleFillStateCarriesOver) {
    Surface s;
    // Solid red fill and a green circle: a green ring around a red interior.
    s.FillStyle(kFillSolid);
    s.FillColor(kRed);
    s.Circle(100, 100, 10, kGreen);
    EXPECT_EQ(s.GetPixel(100, 100), kRed);
    EXPECT_EQ(s.GetPixel(110, 100), kGreen);
    EXPECT_EQ(s.GetPixel(90, 100), kGreen);
    EXPECT_EQ(s.GetPixel(100, 90), kGreen);
    EXPECT_EQ(s.GetPixel(100, 110), kGreen);
    EXPECT_EQ(s.GetPixel(111, 100), kBlack);
    // The state stays as set: another circle elsewhere fills red too.
    s.Circle(300, 300, 5, kGreen);
    EXPECT_EQ(s.GetPixel(300, 300), kRed);
    EXPECT_EQ(s.fillStyle(), kFillSolid);
    EXPECT_EQ(s.fillColor(), kRed);
    // Transparent: the ring only, the inside left as it was.
    s.FillStyle(kFillTransparent);
    s.SetPixelV(500, 200, kYellow);
    s.Circle(500, 200, 10, kGreen);
    EXPECT_EQ(s.GetPixel(500, 200), kYellow);
    EXPECT_EQ(s.GetPixel(501, 201), kBlack);
    EXPECT_EQ(s.GetPixel(510, 200), kGreen);
    // A ring is symmetric and closed: every row from top to bottom has outline pixels.
    s.Clear();
    s.Circle(320, 240, 30, kYellow);
    for (int py = 210; py <= 270; ++py) {
        int row = 0;
        for (int px = 280; px <= 360; ++px) row += s.GetPixel(px, py) == kYellow;
        EXPECT_GT(row, 0) << py;
        for (int px = 0; px <= 30; ++px) {
            EXPECT_EQ(s.GetPixel(320 - px, py), s.GetPixel(320 + px, py)) << px << "," << py;
        }
    }
}

TEST(Surface, FilledDiscIsClippedAtTheEdges) {
    Surface s;
    s.FillStyle(kFillSolid);
    s.FillColor(kRed);
    s.Circle(0, 0, 10, kRed);
    s.Circle(W - 1, H - 1, 10, kRed);
    EXPECT_EQ(s.GetPixel(0, 0), kRed);
    EXPECT_EQ(s.GetPixel(W - 1, H - 1), kRed);
    EXPECT_EQ(s.GetPixel(10, 0), kRed);
    EXPECT_EQ(s.GetPixel(11, 0), kBlack);
    const int quarter = CountColor(s, kRed) / 2;
    EXPECT_GT(quarter, 80);  // about a quarter of a 10-pixel disc each
    EXPECT_LT(quarter, 110);
}

TEST(Surface, EllipseUsesTheSelectedPenAndADeletedPenDrawsNothing) {
    Surface s;
    const int32_t blue = s.CreatePen(kBlue);
    const int32_t black = s.CreatePen(kBlack);
    EXPECT_NE(blue, black);
    s.SelectObject(blue);
    // The shield around a ship at (320, 455): (311, 451) to (342, 482).
    s.Ellipse(311, 451, 342, 482);
    EXPECT_GT(CountColor(s, kBlue), 60);
    EXPECT_EQ(s.GetPixel(326, 466), kBlack);  // transparent fill: inside untouched
    std::set<int> rows, cols;
    for (int py = 0; py < H; ++py)
        for (int px = 0; px < W; ++px)
            if (s.GetPixel(px, py) == kBlue) {
                rows.insert(py);
                cols.insert(px);
            }
    EXPECT_EQ(*rows.begin(), 451);
    EXPECT_EQ(*rows.rbegin(), 481);  // row 482 lies below the viewscreen
    EXPECT_EQ(*cols.begin(), 311);
    EXPECT_EQ(*cols.rbegin(), 342);
    // The black pen erases exactly what the blue one drew.
    s.SelectObject(black);
    s.Ellipse(311, 451, 342, 482);
    EXPECT_EQ(CountColor(s, kBlue), 0);
    s.SelectObject(blue);
    s.DeleteObject(blue);
    s.Ellipse(100, 100, 130, 130);
    EXPECT_EQ(CountColor(s, kBlue), 0);
}

TEST(Surface, ClearKeepsFillStateAndPen) {
    Surface s;
    const int32_t pen = s.CreatePen(kBlue);
    s.SelectObject(pen);
    s.FillStyle(kFillSolid);
    s.FillColor(kGreen);
    s.SetPixelV(3, 3, kWhite);
    s.Clear();
    EXPECT_EQ(s.GetPixel(3, 3), kBlack);
    EXPECT_EQ(s.fillStyle(), kFillSolid);
    EXPECT_EQ(s.fillColor(), kGreen);
    EXPECT_EQ(s.selectedPen(), pen);
}

TEST(Surface, EveryOperationAddsEmulatedTime) {
    Surface s;
    double before = s.EmulatedMicros();
    s.GetPixel(1, 1);
    EXPECT_GT(s.EmulatedMicros(), before);
    before = s.EmulatedMicros();
    s.Circle(100, 100, 30, kRed);
    const double ring = s.EmulatedMicros() - before;
    s.FillStyle(kFillSolid);
    before = s.EmulatedMicros();
    s.Circle(100, 100, 30, kRed);
    EXPECT_GT(s.EmulatedMicros() - before, ring);  // a disc costs more than a ring
}

}  // namespace
}  // namespace korvane
