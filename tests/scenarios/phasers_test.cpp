// Phasers: the pixel hit test on the cube square's bottom row and side columns, the score
// and agitation of a hit, the five-frame beam, the 100-frame recharge, one shot per frame.

#include <gtest/gtest.h>

#include <algorithm>

#include "scenario_helpers.h"

using namespace scen;

TEST(Phasers, AShotHitsWhenTheBeamCrossesTheBottomRowOrASideColumn) {
    const struct {
        int64_t frame;
        int cubex, cubey, crossx, crossy;
        const char* fire;
        bool hit;
        const char* what;
    } shots[] = {
        {10, 270, 100, 326, 150, "click cmdPhaser", true, "aim inside, beam enters from below"},
        {120, 270, 200, 326, 100, "keyup 17", true, "aim above, beam passes through"},
        {230, 400, 300, 450, 350, "mouseup 2 5 5", true, "ship beside, beam enters the side"},
        {340, 400, 300, 326, 100, "click cmdPhaser", false, "beam beside the cube"},
        {450, 270, 400, 326, 100, "keyup 17", false, "beam leaves through the top row only"},
        {560, 270, 400, 326, 440, "click cmdPhaser", false, "both ends inside the square"},
    };
    Script s = QuietGame();
    for (const auto& shot : shots) {
        const int64_t f = shot.frame;
        s.At(f, "set cubex " + std::to_string(shot.cubex))
            .At(f, "set cubey " + std::to_string(shot.cubey))
            .At(f, "set cubestep 0")
            .At(f, "set crossx " + std::to_string(shot.crossx))
            .At(f, "set crossy " + std::to_string(shot.crossy))
            .At(f, "print cubeanger")
            .At(f, shot.fire)
            .At(f, "print score")
            .At(f, "print cubeanger")
            .At(f, "print phaserhit");
    }
    s.At(600, "click cmdStart");
    const SimRun run = RunScript(s);
    const Log& log = run.log;

    int score = 0;
    for (const auto& shot : shots) {
        const int64_t f = shot.frame;
        if (shot.hit) score += 2;
        const std::vector<std::string> angers = [&] {
            std::vector<std::string> a;
            for (const LogLine& l : log.Matching("var cubeanger ")) {
                if (l.frame == f) a.push_back(l.event.substr(14));
            }
            return a;
        }();
        ASSERT_EQ(angers.size(), 2u) << shot.what;
        EXPECT_EQ(std::stoi(angers[1]) - std::stoi(angers[0]), shot.hit ? 2 : 0) << shot.what;
        EXPECT_EQ(log.Var("score", f), std::to_string(score)) << shot.what;
        EXPECT_EQ(log.Var("phaserhit", f), shot.hit ? "True" : "False") << shot.what;
        const std::vector<std::string> events = log.At(f);
        EXPECT_EQ(std::count(events.begin(), events.end(), "sound 105 1"), 1) << shot.what;
        // The read-out shows the new score in the frame of the hit, and only after a hit.
        const bool shown = std::find(events.begin(), events.end(),
                                     "text txtScore " + std::to_string(score)) != events.end();
        EXPECT_EQ(shown, shot.hit) << shot.what;
    }
    EXPECT_EQ(static_cast<int>(log.Matching("sound 105").size()), 6);
}

TEST(Phasers, TheNextShotComesOneHundredFramesLater) {
    Script s = QuietGame();
    s.At(10, "click cmdPhaser")
        .At(11, "keyup 17")
        .At(50, "mouseup 2 100 100")
        .At(109, "print phaserrecharging")
        .At(109, "click cmdPhaser")
        .At(110, "print phaserrecharging")
        .At(110, "keyup 17")
        .At(111, "click cmdPhaser")
        .At(209, "mouseup 2 100 100")
        .At(210, "mouseup 2 100 100")
        .At(210, "click cmdStart");
    const SimRun run = RunScript(s);
    const Log& log = run.log;
    std::vector<int64_t> frames;
    for (const LogLine& l : log.Matching("sound 105")) frames.push_back(l.frame);
    EXPECT_EQ(frames, (std::vector<int64_t>{10, 110, 210}));
    EXPECT_EQ(log.Var("phaserrecharging", 109), "True");
    EXPECT_EQ(log.Var("phaserrecharging", 110), "False");
}

TEST(Phasers, TheBeamStaysFiveFramesWhereItWasFiredThenIsErased) {
    Script s = QuietGame();
    // The crosshairs stand at (326,240): the beam runs up column 326 from row 449.
    s.At(10, "click cmdPhaser").At(10, "pixel 326 300").At(10, "print beamframes");
    // Moving the ship does not move the beam.
    s.At(11, "set x 400");
    for (int64_t f = 11; f <= 16; ++f) {
        s.At(f, "pixel 326 300").At(f, "pixel 326 449").At(f, "print beamframes");
        s.At(f, "print phaserfiring");
    }
    s.At(16, "click cmdStart");
    const SimRun run = RunScript(s);
    const Log& log = run.log;
    EXPECT_EQ(log.Pixel(326, 300, 10), kCyan) << "drawn by the shot at once";
    EXPECT_EQ(log.Var("beamframes", 10), "0");
    for (int64_t f = 11; f <= 14; ++f) {
        EXPECT_EQ(log.Pixel(326, 300, f), kCyan) << "frame " << f;
        EXPECT_EQ(log.Pixel(326, 449, f), kCyan) << "frame " << f;
        EXPECT_EQ(log.Var("beamframes", f), std::to_string(f - 10));
        EXPECT_EQ(log.Var("phaserfiring", f), "True");
    }
    for (int64_t f = 15; f <= 16; ++f) {
        EXPECT_EQ(log.Pixel(326, 300, f), kBlack) << "frame " << f;
        EXPECT_EQ(log.Pixel(326, 449, f), kBlack) << "frame " << f;
        EXPECT_EQ(log.Var("beamframes", f), "0");
        EXPECT_EQ(log.Var("phaserfiring", f), "False");
    }
}

TEST(Phasers, TwoFireCommandsInOneFrameFireOnce) {
    Script s = QuietGame();
    s.At(10, "set cubex 270").At(10, "set cubey 100").At(10, "set cubestep 0");
    s.At(10, "set crossy 150");
    s.At(10, "click cmdPhaser").At(10, "keyup 17").At(10, "mouseup 2 9 9");
    s.At(10, "print score").At(10, "click cmdStart");
    const SimRun run = RunScript(s);
    EXPECT_EQ(run.log.Count("sound 105 1"), 1);
    EXPECT_EQ(run.log.Var("score", 10), "2");
}
