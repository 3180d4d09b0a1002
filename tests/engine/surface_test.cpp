// The viewscreen surface and the sprites, through a test card: every sprite and every drawing
// primitive of the game, inside and across each edge, with the fill state and pens carried
// from one call to the next. The card is pinned as a picture, test_card.png, and its emulated
// cost in test_card.expected; a card that differs is written beside it as test_card.got.png,
// so that both can be looked at (see pinned.h for rewriting them).
#include "surface.h"

#include <gtest/gtest.h>

#include <QImage>
#include <array>
#include <bit>
#include <functional>
#include <sstream>

#include "colors.h"
#include "pinned.h"
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
        x += sprite->width() + 2;
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
    QImage got(W, H, QImage::Format_RGB32);
    for (int y = 0; y < H; ++y) {
        for (int x = 0; x < W; ++x) {
            const Color c = s.Pixels()[static_cast<size_t>(y) * W + x];
            got.setPixel(x, y, qRgb(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF));
            // Opaque in memory, as the browser's canvas takes the bytes.
            if (c >> 24 != 0xFF) ADD_FAILURE() << "pixel " << x << "," << y << " is not opaque";
        }
    }
    const QString dir = QStringLiteral(KORVANE_TEST_CARD_DIR);
    if (pinned::UpdateRequested()) {
        got.save(dir + "/test_card.png");
    } else if (QImage(dir + "/test_card.png").convertToFormat(QImage::Format_RGB32) != got) {
        got.save(dir + "/test_card.got.png");
        ADD_FAILURE()
            << "the test card differs from test_card.png: see test_card.got.png beside it";
    }
    std::ostringstream cost;
    cost << "micros " << s.EmulatedMicros() << "\n";
    pinned::Check(KORVANE_TEST_CARD_DIR "/test_card.expected", cost.str());
}

TEST(Surface, ReadsBackExactlyAndKeepsItsStateOverAClear) {
    Surface s;
    s.SetPixelV(0, 0, kBlue);
    EXPECT_EQ(s.GetPixel(0, 0), kBlue);
    for (auto [px, py] : {std::pair{-1, 0}, {0, -1}, {W, 0}, {0, H}}) {
        EXPECT_EQ(s.GetPixel(px, py), kInvalidColor) << px << "," << py;
    }
    const int32_t pen = s.CreatePen(kBlue);
    s.SelectObject(pen);
    s.FillStyle(kFillSolid);
    s.FillColor(kGreen);
    s.Clear();
    EXPECT_EQ(s.GetPixel(0, 0), kBlack);
    EXPECT_EQ(s.fillStyle(), kFillSolid);
    EXPECT_EQ(s.fillColor(), kGreen);
    EXPECT_EQ(s.selectedPen(), pen);
    // A disc that crosses the right edge is filled up to the last column.
    s.Circle(W - 3, 50, 10, kRed);
    EXPECT_EQ(s.GetPixel(W - 1, 50), kGreen);
    // A disc costs more emulated time than a ring: the pacing of a slow machine follows it.
    double before = s.EmulatedMicros();
    s.Circle(100, 100, 30, kRed);
    const double disc = s.EmulatedMicros() - before;
    s.FillStyle(kFillTransparent);
    before = s.EmulatedMicros();
    s.Circle(100, 100, 30, kRed);
    EXPECT_GT(disc, s.EmulatedMicros() - before);
    EXPECT_EQ(MakeWreckedVessikShip().pixels(), GameSprites().picVessikship3.pixels())
        << "the same wreck every time";
}

// A clear after any drawing call leaves all black again, even where the call followed a
// clear (a clear of a surface still black writes nothing).
TEST(Surface, AClearAfterEveryKindOfDrawingLeavesItBlack) {
    const Sprites& sp = GameSprites();
    static const int16_t xs[] = {10}, ys[] = {10};
    static const uint32_t at[] = {Surface::OffsetOf(10, 10)};
    const auto yellow = [](int) { return kYellow; };
    const int w = sp.picVessikship.width(), h = sp.picVessikship.height();
    const Sprite red(w, h, std::vector<Color>(static_cast<size_t>(w * h), kRed));
    const std::function<void(Surface&)> calls[] = {
        [](Surface& s) { s.SetPixelV(3, 3, kRed); },
        [&](Surface& s) { s.BitBlt(sp.picHalcyra, 5, 5); },
        // Its copy wholly off the viewscreen: only the (red) erase is drawn.
        [&](Surface& s) { s.MoveSprite(red, 5, 5, sp.picVessikship, 900, 5); },
        [](Surface& s) { s.Line(0, 0, 30, 40, kCyan); },
        [](Surface& s) { s.FillStyle(kFillSolid), s.FillColor(kRed), s.Circle(50, 50, 9, kGreen); },
        [&](Surface& s) { s.RecolourPoints(xs, ys, 1, kBlack, yellow, kBlack); },
        [&](Surface& s) { s.RecolourAt(at, 1, kBlack, yellow, kBlack); }};
    const Surface black;
    for (size_t i = 0; i < std::size(calls); ++i) {
        Surface s;
        s.Clear();
        calls[i](s);
        EXPECT_NE(s.Pixels(), black.Pixels()) << "call " << i << " draws";
        s.Clear();
        EXPECT_EQ(s.Pixels(), black.Pixels()) << "call " << i;
    }
}

// The calls that stand for several give the pixels and the emulated clock, to the last bit,
// of the calls one by one: with the clock crossing a power of two or not, with points on one
// pixel twice or off the viewscreen, and with a figure moved across each edge or far away.
TEST(Surface, CallsThatStandForSeveralGiveTheirPixelsAndCost) {
    auto clockBits = [](const Surface& s) { return std::bit_cast<uint64_t>(s.EmulatedMicros()); };
    const int16_t xs[] = {5, 5, 6, 641, 7, 9, 700};
    const int16_t ys[] = {5, 5, 481, 0, 6, 6, 3};
    auto colour = [](int i) { return Rgb(40 * i, 0, 255); };
    for (const double clock : {0.0, 0.21, 1234.56}) {
        for (const int points : {6, 7}) {
            Surface bulk, single;
            Color lastBulk = kRed, lastSingle = kRed;
            for (Surface* s : {&bulk, &single}) s->Charge(clock), s->SetPixelV(9, 6, kYellow);
            for (const Color from : {kBlack, kYellow}) {
                lastBulk = bulk.RecolourPoints(xs, ys, points, from, colour, lastBulk);
                for (int i = 0; i < points; ++i) {
                    lastSingle = single.GetPixel(xs[i], ys[i]);
                    if (lastSingle == from) single.SetPixelV(xs[i], ys[i], colour(i));
                }
            }
            EXPECT_EQ(lastBulk, lastSingle) << clock << " " << points;
            EXPECT_EQ(bulk.Pixels(), single.Pixels()) << clock << " " << points;
            EXPECT_EQ(clockBits(bulk), clockBits(single)) << clock << " " << points;
        }
    }
    const Sprites& sp = GameSprites();
    for (auto [ox, oy, nx, ny] : {std::array{100, 100, 101, 99}, {100, 100, 99, 101},
                                  {-50, -30, -49, -31}, {600, 440, 599, 441}, {9, 9, 300, 0}}) {
        Surface moved, copied;
        for (Surface* s : {&moved, &copied}) s->Charge(0.7), s->BitBlt(sp.picVessikship3, ox, oy);
        moved.MoveSprite(sp.picVessikshiperase, ox, oy, sp.picVessikship, nx, ny);
        copied.BitBlt(sp.picVessikshiperase, ox, oy);
        copied.BitBlt(sp.picVessikship, nx, ny);
        EXPECT_EQ(moved.Pixels(), copied.Pixels()) << ox << "," << oy << " to " << nx << "," << ny;
        EXPECT_EQ(clockBits(moved), clockBits(copied));
    }
}

// The same circle again costs only its time, but after any call that changed a pixel (its
// mark on the centre or the rim) or the fill it is painted over that again.
TEST(Surface, TheSameCircleAgainPaintsOverWhateverChangedSince) {
    static const int16_t xs[] = {100}, ys[] = {100};
    static const uint32_t at[] = {Surface::OffsetOf(100, 100)};
    static const auto red = [](int) { return kRed; };
    void (*const between[])(Surface&) = {
        [](Surface& s) { s.SetPixelV(100, 100, kRed); },
        [](Surface& s) { s.BitBlt(GameSprites().pictorpedoerase, 99, 99); },
        [](Surface& s) { s.Line(90, 100, 110, 100, kRed); },
        [](Surface& s) { s.Clear(); },
        [](Surface& s) { s.SelectObject(s.CreatePen(kRed)), s.Ellipse(95, 90, 120, 110); },
        [](Surface& s) { s.RecolourPoints(xs, ys, 1, kYellow, red, kBlack); },
        [](Surface& s) { s.RecolourAt(at, 1, kYellow, red, kBlack); },
        [](Surface& s) { s.FillColor(kRed); }};
    for (size_t i = 0; i < std::size(between); ++i) {
        Surface s, fresh;
        s.FillStyle(kFillSolid), s.FillColor(kYellow), s.Circle(100, 100, 5, kGreen);
        between[i](s);
        const double before = s.EmulatedMicros();
        s.Circle(100, 100, 5, kGreen), s.Circle(100, 100, 5, kGreen);
        fresh.FillStyle(kFillSolid), fresh.FillColor(s.fillColor());
        fresh.Circle(100, 100, 5, kGreen);
        EXPECT_DOUBLE_EQ(s.EmulatedMicros() - before, 2 * fresh.EmulatedMicros()) << i;
        for (const int x : {95, 100}) EXPECT_EQ(s.PeekPixel(x, 100), fresh.PeekPixel(x, 100)) << i;
    }
}

}  // namespace
}  // namespace korvane
