// The viewscreen surface and the sprites, through a test card: every sprite and every drawing
// primitive of the game, inside and across each edge, with the fill state and pens carried
// from one call to the next. The card's hash and its emulated cost are pinned in
// test_card.expected; after an intended change of drawing, rewrite it and look at the card
// (test_card.ppm in the build folder) before committing:
//   KORVANE_UPDATE_GOLDEN=1 ctest --test-dir build -R Surface
#include "surface.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "colors.h"
#include "sprites.h"

namespace korvane {
namespace {

constexpr int W = Surface::kWidth;
constexpr int H = Surface::kHeight;

void DrawTestCard(Surface& s) {
    const Sprites& sp = GameSprites();
    // A yellow field under the left half shows which sprite pixels are opaque black.
    for (int y = 0; y < H; ++y) {
        for (int x = 0; x < W / 2; x += 1 + (y % 3)) s.SetPixelV(x, y, kYellow);
    }
    s.SetPixelV(-1, 5, kRed);  // outside: nothing
    s.SetPixelV(W, 5, kRed);
    s.SetPixelV(5, H, kRed);
    const Sprite* all[] = {&sp.picHalcyra,      &sp.piccrosshairs,      &sp.pictorpedox,
                           &sp.pictorpedoplus,  &sp.picVessikship,      &sp.picVessikship3,
                           &sp.picHalcyraerase, &sp.piccrosshairserase, &sp.pictorpedoerase};
    int x = 2;
    for (const Sprite* sprite : all) {
        s.BitBlt(*sprite, x, 2);
        x += sprite->width + 2;
    }
    s.BitBlt(sp.picVessikshiperase, 20, 20);
    // Across each edge and wholly outside.
    s.BitBlt(sp.piccrosshairs, -1, 200);
    s.BitBlt(sp.picVessikship, -50, 150);
    s.BitBlt(sp.picVessikship, 600, 440);
    s.BitBlt(sp.picVessikship, 700, 100);
    s.BitBlt(sp.picVessikship, 100, -150);
    s.BitBlt(sp.picHalcyra, 630, 400);
    // Lines: flat, steep, shallow, clipped on both ends.
    s.Line(10, 120, 20, 120, kCyan);
    s.Line(326, 240, 326, 449, kCyan);
    s.Line(0, 130, 30, 140, kCyan);
    s.Line(-100, -100, 700, 700, kCyan);
    // Circles: solid fill carries over to the next circle, then transparent; clipped discs.
    s.FillStyle(kFillSolid);
    s.FillColor(kRed);
    s.Circle(100, 300, 10, kGreen);
    s.Circle(300, 300, 5, kGreen);
    s.Circle(0, H - 1, 10, kRed);
    s.FillStyle(kFillTransparent);
    s.Circle(500, 200, 30, kYellow);
    s.Circle(W - 1, 0, 12, kGreen);
    // The shield ellipse with a pen, erased by a black one; a deleted pen draws nothing.
    const int32_t blue = s.CreatePen(kBlue);
    const int32_t black = s.CreatePen(kBlack);
    s.SelectObject(blue);
    s.Ellipse(311, 451, 342, 482);
    s.Ellipse(400, 400, 440, 430);
    s.SelectObject(black);
    s.Ellipse(400, 400, 440, 430);
    s.SelectObject(blue);
    s.DeleteObject(blue);
    s.Ellipse(100, 100, 130, 130);
}

TEST(Surface, TheTestCardIsDrawnExactly) {
    Surface s;
    DrawTestCard(s);
    uint64_t hash = 0xcbf29ce484222325ull;
    std::ofstream card("test_card.ppm", std::ios::binary);
    card << "P6\n" << W << " " << H << "\n255\n";
    for (Color c : s.Pixels()) {
        const char rgb[3] = {static_cast<char>(c & 0xFF), static_cast<char>((c >> 8) & 0xFF),
                             static_cast<char>((c >> 16) & 0xFF)};
        card.write(rgb, 3);
        hash = (hash ^ c) * 0x100000001b3ull;
    }
    std::ostringstream got;
    got << "fnv1a64 " << std::hex << hash << std::dec << " micros " << s.EmulatedMicros() << "\n";
    const char* update = std::getenv("KORVANE_UPDATE_GOLDEN");
    if (update && std::string(update) == "1") {
        std::ofstream(KORVANE_TEST_CARD) << got.str();
        return;
    }
    std::ifstream in(KORVANE_TEST_CARD);
    EXPECT_EQ(got.str(), std::string(std::istreambuf_iterator<char>(in), {}))
        << "the test card differs; see test_card.ppm";
}

TEST(Surface, ReadsBackExactlyAndKeepsItsStateOverAClear) {
    Surface s;
    s.SetPixelV(0, 0, kBlue);
    EXPECT_EQ(s.GetPixel(0, 0), 0x00FF0000u);  // blue sits in the third byte
    for (auto [px, py] : {std::pair{-1, 0}, {0, -1}, {W, 0}, {0, H}}) {
        EXPECT_EQ(s.GetPixel(px, py), kInvalidColor) << px << "," << py;
    }
    for (Color c : {kBlack, kWhite, kGrey, kLightGrey, kCyan, kYellow}) EXPECT_NE(kInvalidColor, c);
    const int32_t pen = s.CreatePen(kBlue);
    s.SelectObject(pen);
    s.FillStyle(kFillSolid);
    s.FillColor(kGreen);
    s.Clear();
    EXPECT_EQ(s.GetPixel(0, 0), kBlack);
    EXPECT_EQ(s.fillStyle(), kFillSolid);
    EXPECT_EQ(s.fillColor(), kGreen);
    EXPECT_EQ(s.selectedPen(), pen);
    // A disc costs more emulated time than a ring: the pacing of a slow machine follows it.
    double before = s.EmulatedMicros();
    s.Circle(100, 100, 30, kRed);
    const double disc = s.EmulatedMicros() - before;
    s.FillStyle(kFillTransparent);
    before = s.EmulatedMicros();
    s.Circle(100, 100, 30, kRed);
    EXPECT_GT(disc, s.EmulatedMicros() - before);
    EXPECT_EQ(MakeWreckedVessikShip().pixels, GameSprites().picVessikship3.pixels)
        << "the same wreck every time";
}

}  // namespace
}  // namespace korvane
