// The cube's attacks and the shields: absorption, the antimatter globe (its launch, its hit
// box, the shields that stop it), the shot that knocks the shields out, and the super energy
// weapon.

#include <gtest/gtest.h>

#include <algorithm>

#include "scenario_helpers.h"

using namespace scen;

namespace {

Script StartedGame(const std::string& stars = "stars 0") {
    Script s;
    s.Idle(stars).Idle("click cmdStart");
    return s;
}

int CountInBox(const Screen& screen, uint32_t colour, int x0, int y0, int x1, int y1) {
    int n = 0;
    for (int y = std::max(0, y0); y <= std::min(481, y1); ++y) {
        for (int x = std::max(0, x0); x <= std::min(641, x1); ++x) n += screen.At(x, y) == colour;
    }
    return n;
}

// Blue pixels of the shield ellipse around the ship at (320,455): its box is (311,451) to
// (342,482); the ship's own sprite, which has blue pixels of its own, is left out.
int ShieldPixels(const Screen& screen) {
    return CountInBox(screen, kBlue, 311, 451, 342, 482) -
           CountInBox(screen, kBlue, 320, 455, 333, 476);
}

}  // namespace

TEST(Attacks, AbsorptionOnlyWhenTheShipsCentreColumnIsStrictlyInsideTheCube) {
    // Ship at 320, centre column 327; the cube's bottom row on the ship's top row.
    const struct {
        int cubex;
        bool shields;
        bool absorbed;
    } cases[] = {{227, false, false},
                 {228, false, true},
                 {326, false, true},
                 {327, false, false},
                 {228, true, true}};
    for (const auto& c : cases) {
        Script s = StartedGame();
        s.ParkGlobe(2).At(2, "set supervessik False");
        if (c.shields) s.At(5, "click cmdShields");
        s.At(10, "set score 12")
            .At(10, "set cubey 355")
            .At(10, "set cubex " + std::to_string(c.cubex))
            .At(10, "set cubestep 0");
        s.At(11, "print gamerunning");
        if (!c.absorbed) s.At(11, "click cmdStart");
        const SimRun run = RunScript(s);
        const Log& log = run.log;
        const std::string what =
            "cubex " + std::to_string(c.cubex) + (c.shields ? " with shields" : "");
        if (c.absorbed) {
            EXPECT_EQ(log.GameEventsAt(10),
                      (std::vector<std::string>{"text txtHighscore 12", "dialog frmVessikWin",
                                                "sound 112 1", "controls off", "teardown"}))
                << what;
            EXPECT_EQ(log.Vars("gamerunning"), std::vector<std::string>{"False"}) << what;
        } else {
            EXPECT_TRUE(log.At(10).empty()) << what;
            EXPECT_EQ(log.Var("gamerunning", 11), "True") << what;
            EXPECT_FALSE(log.Has("dialog frmVessikWin")) << what;
        }
    }
}

TEST(Attacks, AGlobeLaunchedWithTheCubeAt350HitsOnItsLaunchFrame) {
    // Every frame without a globe in flight draws one launch number; the first 1 in 2,500
    // launches when the cube lies in its band. Find a seed whose first such draw comes early
    // and put the cube at row 350 above the ship in that very frame.
    uint64_t seed = 0;
    int64_t launchFrame = 0;
    for (uint64_t candidate = 1; candidate < 2000 && seed == 0; ++candidate) {
        SplitMix rng(candidate);
        for (int i = 0; i < 5; ++i) rng.NextZ();  // one star, two chances, the cube's column
        for (int64_t f = 1; f <= 1500; ++f) {
            if (rng.Rand(2500) == 0) {
                if (f >= 10) {
                    seed = candidate;
                    launchFrame = f;
                }
                break;
            }
        }
    }
    ASSERT_NE(seed, 0u);
    Script s = StartedGame();
    s.At(2, "set supervessik False");
    s.At(launchFrame, "set cubex 270")
        .At(launchFrame, "set cubey 350")
        .At(launchFrame, "set cubestep 0");
    s.Idle("print globex").Idle("print globey").Idle("print antimatter");
    RunOptions o;
    o.seed = seed;
    const SimRun run = RunScript(s, o);
    const Log& log = run.log;
    EXPECT_EQ(log.FirstFrameOf("sound 116 1"), launchFrame) << "seed " << seed;
    const std::vector<std::string> events = log.At(launchFrame);
    ASSERT_GE(events.size(), 6u) << log.Text();
    EXPECT_EQ(std::vector<std::string>(events.begin(), events.begin() + 6),
              (std::vector<std::string>{"sound 116 1", "sound 106 1", "dialog frmAntiZap",
                                        "sound 106 1", "controls off", "teardown"}))
        << "seed " << seed;
    // Launched at the cube's centre column and ten rows below it, at most one step on.
    const std::string gx = log.Var("globex", launchFrame).value_or("");
    const std::string gy = log.Var("globey", launchFrame).value_or("");
    EXPECT_TRUE(gx == "320" || gx == "321") << gx;
    EXPECT_TRUE(gy == "460" || gy == "461") << gy;
}

TEST(Attacks, TheGlobeHitBoxReachesFromFiveLeftToEighteenRightOfTheShip) {
    // The ship at 320, 455. Written oddturn False flips to True: the globe does not move.
    const struct {
        int globex, globey;
        bool hit;
    } cases[] = {{314, 455, false}, {315, 455, true},  {338, 455, true},
                 {339, 455, false}, {326, 450, false}, {326, 451, true}};
    for (const auto& c : cases) {
        Script s = StartedGame();
        s.At(2, "set supervessik False");
        s.At(10, "set oddturn False")
            .At(10, "set antimatter True")
            .At(10, "set globex " + std::to_string(c.globex))
            .At(10, "set globey " + std::to_string(c.globey));
        // A stop click would still let the rest of its frame run, globe included: take the
        // globe away first.
        if (!c.hit) s.At(11, "set antimatter False").At(11, "click cmdStart");
        const SimRun run = RunScript(s);
        const Log& log = run.log;
        const std::string what =
            "globe at " + std::to_string(c.globex) + "," + std::to_string(c.globey);
        if (c.hit) {
            EXPECT_EQ(log.GameEventsAt(10),
                      (std::vector<std::string>{"sound 106 1", "dialog frmAntiZap", "sound 106 1",
                                                "controls off", "teardown"}))
                << what;
        } else {
            EXPECT_TRUE(log.At(10).empty()) << what;
            EXPECT_FALSE(log.Has("dialog frmAntiZap")) << what;
        }
    }
}

TEST(Attacks, RaisedShieldsStopAGlobeAndStayUp) {
    const std::string before = TempPath("before.ppm");
    const std::string after = TempPath("after.ppm");
    Script s = StartedGame();
    s.At(2, "set supervessik False");
    s.At(10, "click cmdShields");
    s.At(11, "screen " + before)
        .At(11, "set oddturn False")
        .At(11, "set antimatter True")
        .At(11, "set globex 326")
        .At(11, "set globey 455");
    s.At(12, "print shieldsOn").At(12, "print antimatter").At(12, "print gamerunning");
    s.At(12, "screen " + after).At(13, "click cmdStart");
    const SimRun run = RunScript(s);
    const Log& log = run.log;
    EXPECT_EQ(log.At(10), std::vector<std::string>{"sound 114 1"});
    EXPECT_EQ(log.At(11), std::vector<std::string>{"sound 106 1"});
    EXPECT_FALSE(log.Has("dialog frmAntiZap"));
    EXPECT_EQ(log.Var("shieldsOn", 12), "True");
    EXPECT_EQ(log.Var("antimatter", 12), "False") << "the globe is gone; a new one may come";
    EXPECT_EQ(log.Var("gamerunning", 12), "True");

    const std::optional<Screen> b = TakeScreen(before);
    const std::optional<Screen> a = TakeScreen(after);
    ASSERT_TRUE(b && a);
    // The shield ellipse around the ship, inscribed in (311,451)-(342,482), before and after.
    EXPECT_GT(ShieldPixels(*b), 0);
    EXPECT_GT(ShieldPixels(*a), 0);
    EXPECT_EQ(a->At(326, 469), kWhite) << "the ship is drawn again";
    // The yellow flash is erased with everything under it.
    EXPECT_EQ(CountInBox(*a, kYellow, 300, 430, 352, 481), 0);
}

TEST(Attacks, TheShotAtTheShieldsComesOnlyAtRows100200300OnStep13AndOncePerGame) {
    Script s = StartedGame();
    s.ParkGlobe(2).At(2, "set supervessik False").At(2, "set vessikshootsshields True");
    s.At(9, "click cmdShields");
    // Missed conditions: wrong height, wrong step count, a row off.
    s.At(10, "set cubey 150").At(10, "set cubestep 12");
    s.At(11, "set cubey 100").At(11, "set cubestep 11");
    s.At(12, "set cubey 101").At(12, "set cubestep 12");
    // All four conditions.
    s.At(13, "set cubey 100").At(13, "set cubestep 12").At(13, "print shieldsOn");
    s.At(14, "print shieldsOn")
        .At(14, "print shieldsdestroyed")
        .At(14, "print vessikshootsshields");
    s.At(14, "screen " + TempPath("shot.ppm"));
    // The shield command now only plays its sound.
    s.At(15, "click cmdShields").At(15, "print shieldsOn");
    s.At(16, "keyup 83").At(16, "print shieldsOn");
    // Once per game: with the shields made usable again, row 200 on step 13 does nothing.
    s.At(20, "set shieldsdestroyed False").At(20, "click cmdShields");
    s.At(20, "set cubey 200").At(20, "set cubestep 12");
    s.At(21, "print shieldsOn").At(21, "click cmdStart");
    const SimRun run = RunScript(s);
    const Log& log = run.log;
    for (int64_t f = 10; f <= 12; ++f) EXPECT_TRUE(log.At(f).empty()) << "frame " << f;
    EXPECT_EQ(log.Var("shieldsOn", 13), "True");
    EXPECT_EQ(log.At(13), (std::vector<std::string>{"var shieldsOn True", "sound 109 1"}));
    EXPECT_EQ(log.Var("shieldsOn", 14), "False");
    EXPECT_EQ(log.Var("shieldsdestroyed", 14), "True");
    EXPECT_EQ(log.Var("vessikshootsshields", 14), "False");
    const std::optional<Screen> shot = TakeScreen(TempPath("shot.ppm"));
    ASSERT_TRUE(shot.has_value());
    EXPECT_EQ(ShieldPixels(*shot), 0) << "the ellipse is erased";
    EXPECT_EQ(log.At(15), (std::vector<std::string>{"sound 114 1", "var shieldsOn False"}));
    EXPECT_EQ(log.At(16), (std::vector<std::string>{"sound 114 1", "var shieldsOn False"}));
    EXPECT_EQ(log.Var("shieldsOn", 21), "True");
    EXPECT_EQ(log.Count("sound 109 1"), 1);
}

TEST(Attacks, LoweredShieldsAvoidTheShotWhichStaysArmedForTheNextHeights) {
    for (int second : {200, 300}) {
        Script s = StartedGame();
        s.ParkGlobe(2).At(2, "set supervessik False").At(2, "set vessikshootsshields True");
        s.At(10, "set cubey 100").At(10, "set cubestep 12");
        s.At(11, "print vessikshootsshields").At(11, "click cmdShields");
        s.At(11, "set cubey " + std::to_string(second)).At(11, "set cubestep 12");
        s.At(12, "print shieldsdestroyed").At(12, "click cmdStart");
        const SimRun run = RunScript(s);
        const Log& log = run.log;
        EXPECT_TRUE(log.At(10).empty()) << second;
        EXPECT_EQ(log.Var("vessikshootsshields", 11), "True") << second;
        EXPECT_EQ(log.FirstFrameOf("sound 109 1"), 11) << second;
        EXPECT_EQ(log.Var("shieldsdestroyed", 12), "True") << second;
    }
}

TEST(Attacks, WithOneHundredFortyTwoStarsTheSuperWeaponFiresAtRow140) {
    // At its own pace a calm cube reaches row 140 at its 290th step, frame 7,250. The
    // raised shields do not help.
    Script s = StartedGame("stars 142");
    s.ParkGlobe(2).At(2, "set vessikshootsshields False");
    s.At(5, "click cmdShields").At(100, "set score 3");
    s.At(7225, "print cubey").At(7250, "print cubey").At(7250, "print supervessik");
    const SimRun run = RunScript(s);
    const Log& log = run.log;
    EXPECT_EQ(log.Var("cubey", 7225), "138");
    EXPECT_EQ(log.Var("cubey", 7250), "139");
    EXPECT_EQ(log.Var("supervessik", 7250), "True");
    EXPECT_EQ(log.FirstFrameOf("controls off"), 7250);
    EXPECT_EQ(log.At(7250),
              (std::vector<std::string>{"var cubey 139", "var supervessik True",
                                        "text txtHighscore 3", "sound 111 1", "dialog frmVessikZap",
                                        "sound 111 1", "controls off", "teardown", "end"}));
}

TEST(Attacks, AGlobeFallsOnHalfOfTheEvenFramesDriftingTowardsTheShipUntilRow490) {
    // A globe placed in frame 10 right of the ship, low enough to leave the viewscreen soon.
    // Its steps follow the generator: one launch draw per frame before it (none while it
    // flies), then one coin per frame whose flipped oddturn is False.
    const uint64_t seed = 77;
    const int64_t placed = 10;
    SplitMix rng(seed);
    for (int i = 0; i < 5; ++i) rng.NextZ();              // one star, two chances, cubex
    for (int64_t f = 1; f < placed; ++f) rng.Rand(2500);  // launch draws, frames 1 to 9
    struct Pos {
        int x, y;
        bool flying;
    };
    std::vector<Pos> predicted;  // state after frame placed + i
    int gx = 600, gy = 470;
    bool flying = true;
    for (int64_t f = placed; flying; ++f) {
        const bool oddturn = f % 2 == 1;  // the first game's first frame flips False to True
        if (!oddturn) {
            if (rng.Rand(2) + 1 == 1) {
                ++gy;
                if (326 < gx) --gx;
                if (326 > gx) ++gx;
            }
            if (gy == 490) flying = false;
        }
        predicted.push_back({gx, gy, flying});
    }
    ASSERT_LT(predicted.size(), 200u);

    Script s = StartedGame();
    s.At(2, "set supervessik False");
    s.At(placed, "print oddturn")
        .At(placed, "set antimatter True")
        .At(placed, "set globex 600")
        .At(placed, "set globey 470");
    const int64_t last = placed + static_cast<int64_t>(predicted.size());
    for (int64_t f = placed + 1; f <= last; ++f) {
        s.At(f, "print globex").At(f, "print globey").At(f, "print antimatter");
    }
    s.At(last, "click cmdStart");
    RunOptions o;
    o.seed = seed;
    const SimRun run = RunScript(s, o);
    const Log& log = run.log;
    ASSERT_EQ(log.Var("oddturn", placed), "True") << "frame parity as assumed";
    for (size_t i = 0; i < predicted.size(); ++i) {
        const int64_t f = placed + 1 + static_cast<int64_t>(i);
        EXPECT_EQ(log.Var("globex", f), std::to_string(predicted[i].x)) << "frame " << f;
        EXPECT_EQ(log.Var("globey", f), std::to_string(predicted[i].y)) << "frame " << f;
        EXPECT_EQ(log.Var("antimatter", f), predicted[i].flying ? "True" : "False")
            << "frame " << f;
    }
    EXPECT_FALSE(log.Has("dialog frmAntiZap"));
}

TEST(Attacks, TheFrameThatEndsAGameStillRunsItsLaterPhases) {
    // A torpedo in flight and a ship moving left when the ship is absorbed (phase 10) or the
    // game is stopped (in the yield): the torpedo and the ship phases of that frame still run.
    for (const bool absorbed : {true, false}) {
        Script s = StartedGame();
        s.ParkGlobe(2).At(2, "set supervessik False");
        s.At(10, "keyup 32");
        s.At(20, "set oddturn True").At(20, "click cmdLeft");
        if (absorbed) {
            s.At(20, "set cubex 270").At(20, "set cubey 355").At(20, "set cubestep 0");
        } else {
            s.At(20, "click cmdStart");
        }
        s.Idle("print photon1y").Idle("print x").Idle("print clockframes");
        const SimRun run = RunScript(s);
        const Log& log = run.log;
        const char* what = absorbed ? "absorbed" : "stopped";
        EXPECT_EQ(log.FirstFrameOf("controls off"), 20) << what;
        EXPECT_EQ(log.Has("dialog frmVessikWin"), absorbed) << what;
        EXPECT_EQ(log.Var("photon1y", 20), "437") << what;
        EXPECT_EQ(log.Var("x", 20), "319") << what;
        EXPECT_EQ(log.Var("clockframes", 20), "20") << what;
    }
}

TEST(Attacks, TheGlobeShowsAsAGreenDiscAndAYellowDotOnAlternateFrames) {
    // Every globe phase ends with the fill colour black, so the black circle drawn at the
    // start of the next one is a black disc: the globe alternates between a green disc of
    // radius 5 and a yellow dot of radius 2 on black, wherever it moves in between.
    auto placed = [] {
        Script s = StartedGame();
        s.At(2, "set supervessik False");
        s.At(10, "set antimatter True").At(10, "set globex 100").At(10, "set globey 100");
        return s;
    };
    Script where = placed();
    for (int64_t f = 10; f <= 13; ++f) {
        where.At(f, "print oddturn").At(f, "print globex").At(f, "print globey");
    }
    const Log positions = RunScript(where).log;
    for (int64_t f = 10; f <= 12; ++f) {
        SCOPED_TRACE("frame " + std::to_string(f));
        // Frame f's phases run after its yield, so its drawing is read in frame f + 1.
        const bool greenFrame = positions.Var("oddturn", f) == "False";  // flipped to True
        const int gx = std::stoi(*positions.Var("globex", f + 1));
        const int gy = std::stoi(*positions.Var("globey", f + 1));
        Script look = placed();
        for (int dx = 0; dx <= 6; ++dx) {
            look.At(f + 1, "pixel " + std::to_string(gx + dx) + " " + std::to_string(gy));
        }
        const Log pixels = RunScript(look).log;
        auto at = [&](int dx) { return *pixels.Pixel(gx + dx, gy, f + 1); };
        if (greenFrame) {
            for (int dx = 0; dx <= 5; ++dx) EXPECT_EQ(at(dx), kGreen) << dx;
        } else {
            for (int dx = 0; dx <= 2; ++dx) EXPECT_EQ(at(dx), kYellow) << dx;
            for (int dx = 3; dx <= 5; ++dx) EXPECT_NE(at(dx), kGreen) << dx;
        }
        EXPECT_NE(at(6), kGreen);
        EXPECT_NE(at(6), kYellow);
    }
}
