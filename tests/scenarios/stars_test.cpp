// The star field: stars fall one row a frame, wrap from the bottom row to the top, are drawn
// only on black and erased only where their yellow still shows, and the star count chosen in
// the settings dialog gives one star more than the number.

#include <gtest/gtest.h>

#include "scenario_helpers.h"

using namespace scen;

TEST(Stars, FallOneRowPerFrameAndWrapFromRow481ToRow0) {
    Script s;
    s.Idle("stars 0").Idle("click cmdStart").At(5, "set starx[0] 200").At(5, "set stary[0] 480");
    for (int f = 6; f <= 8; ++f) {
        s.At(f, "print stary[0]");
        for (int row : {479, 480, 481, 0, 1}) s.At(f, "pixel 200 " + std::to_string(row));
    }
    s.At(8, "click cmdStart");
    const SimRun run = RunScript(s);
    const Log& log = run.log;

    // Frame 5 moves the star to the bottom row, frame 6 wraps it to the top row in the same
    // column, frame 7 moves it on; each move leaves black behind.
    EXPECT_EQ(log.Vars("stary[0]"), (std::vector<std::string>{"481", "0", "1"}));
    EXPECT_EQ(log.Pixel(200, 481, 6), kYellow);
    EXPECT_EQ(log.Pixel(200, 480, 6), kBlack);
    EXPECT_EQ(log.Pixel(200, 0, 7), kYellow);
    EXPECT_EQ(log.Pixel(200, 481, 7), kBlack);
    EXPECT_EQ(log.Pixel(200, 1, 8), kYellow);
    EXPECT_EQ(log.Pixel(200, 0, 8), kBlack);
    EXPECT_EQ(log.Pixel(200, 481, 8), kBlack);
}

TEST(Stars, NeverDrawnOverAFigureAndNotErasedWhereTheFigureCoversThem) {
    Script s;
    s.Idle("stars 1")
        .Idle("click cmdStart")
        .ParkGlobe(5)
        // Star 0 is drawn on black at (101,101) in frame 5; the cube, stepping later in the
        // same frame, is then drawn over it with its top-left corner at (100,100).
        .At(5, "set starx[0] 101")
        .At(5, "set stary[0] 100")
        .At(5, "set cubeanger 0")
        .At(5, "set cubex 99")
        .At(5, "set cubey 99")
        .At(5, "set cubestep 24")
        // Star 1 moves onto a grey dot of the cube's lattice at (102,102) in frame 6.
        .At(6, "set starx[1] 102")
        .At(6, "set stary[1] 101");
    for (int f = 6; f <= 7; ++f) {
        s.At(f, "print cubex").At(f, "print cubey").At(f, "print stary[0]");
        s.At(f, "pixel 101 101").At(f, "pixel 101 102").At(f, "pixel 102 102");
    }
    s.At(7, "click cmdStart");
    const SimRun run = RunScript(s);
    const Log& log = run.log;

    ASSERT_EQ(log.Var("cubex", 6), "100");
    ASSERT_EQ(log.Var("cubey", 6), "100");
    EXPECT_EQ(log.Pixel(101, 101, 6), kTeal);
    // Frame 6: the old pixel is teal, not yellow, so it stays; the next one is teal too, so
    // no star is drawn; star 1 finds grey and leaves it.
    EXPECT_EQ(log.Var("stary[0]", 7), "102");
    EXPECT_EQ(log.Pixel(101, 101, 7), kTeal);
    EXPECT_EQ(log.Pixel(101, 102, 7), kTeal);
    EXPECT_EQ(log.Pixel(102, 102, 6), kGrey);
    EXPECT_EQ(log.Pixel(102, 102, 7), kGrey);
}

TEST(Stars, TheFieldHasOneStarMoreThanTheChosenCount) {
    // Zero stars still give one star: find a seed whose single star falls clear of the ship
    // and the crosshairs, then count the yellow pixels after nine frames.
    for (uint64_t seed = 1; seed < 50; ++seed) {
        SplitMix rng(seed);
        const int sx = rng.Rand(642);
        const int sy = rng.Rand(482);
        if (sx >= 316 && sx <= 336) continue;
        const std::string file = TempPath("one_star.ppm");
        Script s;
        s.Idle("stars 0")
            .Idle("click cmdStart")
            .At(10, "print stary[0]")
            .At(10, "print stary[1]")
            .At(10, "screen " + file)
            .At(10, "click cmdStart");
        RunOptions o;
        o.seed = seed;
        const SimRun run = RunScript(s, o);
        const int row = (sy + 9) % 482;
        EXPECT_EQ(run.log.Var("stary[0]", 10), std::to_string(row));
        EXPECT_EQ(run.log.Var("stary[1]", 10), "0") << "a second star moved";
        const std::optional<Screen> screen = TakeScreen(file);
        ASSERT_TRUE(screen.has_value());
        int yellow = 0;
        for (uint32_t c : screen->pixels) yellow += c == kYellow;
        EXPECT_EQ(yellow, 1);
        EXPECT_EQ(screen->At(sx, row), kYellow);
        break;
    }

    // The default gives 151 stars, the largest count 501: the last index moves, the next
    // one does not.
    for (auto [answer, last] : {std::pair<std::string, int>{"default-stars", 150},
                                std::pair<std::string, int>{"stars 500", 500}}) {
        SplitMix rng(9);
        int lastRow = 0;
        for (int i = 0; i <= last; ++i) {
            rng.Rand(642);
            lastRow = rng.Rand(482);
        }
        Script s;
        s.Idle(answer).Idle("click cmdStart").At(3, "print numberofstars");
        s.At(3, "print stary[" + std::to_string(last) + "]");
        if (last < 500) s.At(3, "print stary[" + std::to_string(last + 1) + "]");
        s.At(3, "click cmdStart");
        RunOptions o;
        o.seed = 9;
        const SimRun run = RunScript(s, o);
        EXPECT_EQ(run.log.Var("numberofstars", 3), std::to_string(last));
        EXPECT_EQ(run.log.Var("stary[" + std::to_string(last) + "]", 3),
                  std::to_string((lastRow + 2) % 482));
        if (last < 500) {
            EXPECT_EQ(run.log.Var("stary[" + std::to_string(last + 1) + "]", 3), "0");
        }
    }
}
