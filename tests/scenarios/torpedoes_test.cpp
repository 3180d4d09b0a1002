// Photon torpedoes: first drawn one row above the launch point, twinkling between plus and x,
// detonating on the cube's grey, the red disc and its marker, 450 busy frames per slot, three
// slots at most, and the ship destroyed by its own torpedo when the grey lies just above it.

#include <gtest/gtest.h>

#include <algorithm>

#include "scenario_helpers.h"

using namespace scen;

namespace {

// Draws the cube in frame `frame` with its top-left corner at (cubex, cubey): one calm step
// from the row above (the ship at 320 lies under the centre column of a cube at 270).
void DrawCubeAt(Script& s, int64_t frame, int cubey) {
    s.At(frame, "set oddturn True")
        .At(frame, "set cubeanger 0")
        .At(frame, "set cubex 270")
        .At(frame, "set cubey " + std::to_string(cubey - 1))
        .At(frame, "set cubestep 24");
}

void PixelsAround(Script& s, int64_t frame, int cx, int cy) {
    for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
            s.At(frame, "pixel " + std::to_string(cx + dx) + " " + std::to_string(cy + dy));
        }
    }
}

// The 3 x 3 torpedo centred on (cx, cy) as printed in `frame`.
void ExpectTorpedo(const Log& log, int64_t frame, int cx, int cy, bool plus) {
    for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
            const bool corner = dx != 0 && dy != 0;
            const bool middle = (dx == 0) != (dy == 0);
            const bool red = (dx == 0 && dy == 0) || (plus ? middle : corner);
            EXPECT_EQ(log.Pixel(cx + dx, cy + dy, frame), red ? kRed : kBlack)
                << "frame " << frame << " pixel " << cx + dx << "," << cy + dy
                << (plus ? " (plus)" : " (x)");
        }
    }
}

}  // namespace

TEST(Torpedoes, FirstDrawnOneRowAboveTheLaunchPointThenTwinkling) {
    Script s = QuietGame();
    // oddturn False before the flip: the launch frame draws the plus.
    s.At(10, "set oddturn False").At(10, "keyup 32");
    s.At(11, "print photon1y").At(11, "print photon1x");
    PixelsAround(s, 11, 326, 447);
    s.At(12, "print photon1y");
    PixelsAround(s, 12, 326, 446);
    s.At(12, "pixel 326 448");
    PixelsAround(s, 13, 326, 445);
    s.At(13, "click cmdStart");
    const SimRun run = RunScript(s);
    const Log& log = run.log;
    EXPECT_EQ(log.At(10), (std::vector<std::string>{"sound 110 1", "option 1 False"}));
    EXPECT_EQ(log.Var("photon1x", 11), "326");
    EXPECT_EQ(log.Var("photon1y", 11), "447");
    EXPECT_EQ(log.Var("photon1y", 12), "446");
    ExpectTorpedo(log, 11, 326, 447, true);
    ExpectTorpedo(log, 12, 326, 446, false);
    ExpectTorpedo(log, 13, 326, 445, true);
    EXPECT_EQ(log.Pixel(326, 448, 12), kBlack) << "the old place is erased";
}

TEST(Torpedoes, DetonatesOnTheCubesBottomRowWithTheDiscOneRowLower) {
    Script s = QuietGame();
    DrawCubeAt(s, 5, 300);             // bottom grey row 400
    s.Every(6, 70, "set cubestep 0");  // the cube holds still
    s.At(10, "pixel 326 400").At(10, "keyup 32");
    // Launched in frame 10: row 447 after it, row 447 - j after frame 10 + j.
    s.At(56, "print photon1y").At(56, "print detonated1");
    for (const char* n : {"photon1y", "detonated1", "photonfire1", "blast1on", "blast1x", "blast1y",
                          "score", "cubeanger"}) {
        s.At(57, std::string("print ") + n);
    }
    for (auto [x, y] : {std::pair{326, 401}, std::pair{321, 401}, std::pair{331, 401},
                        std::pair{326, 396}, std::pair{326, 406}}) {
        s.At(57, "pixel " + std::to_string(x) + " " + std::to_string(y));
    }
    for (int64_t f = 58; f <= 63; ++f) s.At(f, "pixel 326 406");
    s.At(100, "print photon1y").At(100, "print photonfire1");
    s.At(460, "print photonfire1").At(460, "click cmdStart");
    const SimRun run = RunScript(s);
    const Log& log = run.log;

    ASSERT_EQ(log.Pixel(326, 400, 10), kGrey) << "the cube's bottom row is in place";
    EXPECT_EQ(log.Var("photon1y", 56), "402");
    EXPECT_EQ(log.Var("detonated1", 56), "False");
    // Frame 56 moves it to row 401, finds grey at row 400 and detonates.
    EXPECT_EQ(log.FirstFrameOf("sound 106 1"), 56);
    EXPECT_TRUE(log.InOrder({"sound 106 1", "text txtScore 5"}, 56));
    EXPECT_EQ(log.Var("photon1y", 57), "401");
    EXPECT_EQ(log.Var("detonated1", 57), "True");
    EXPECT_EQ(log.Var("photonfire1", 57), "True");
    EXPECT_EQ(log.Var("blast1on", 57), "True");
    EXPECT_EQ(log.Var("blast1x", 57), "326");
    EXPECT_EQ(log.Var("blast1y", 57), "401");
    EXPECT_EQ(log.Var("score", 57), "5");
    EXPECT_EQ(log.Var("cubeanger", 57), "5");
    for (auto [x, y] : {std::pair{326, 401}, std::pair{321, 401}, std::pair{331, 401},
                        std::pair{326, 396}, std::pair{326, 406}}) {
        EXPECT_EQ(log.Pixel(x, y, 57), kRed) << x << "," << y << " in the disc";
    }
    // The marker keeps the disc for frames 57 to 60 and erases it in frame 61.
    for (int64_t f = 58; f <= 61; ++f) EXPECT_EQ(log.Pixel(326, 406, f), kRed) << f;
    EXPECT_EQ(log.Pixel(326, 406, 62), kBlack);
    EXPECT_EQ(log.Pixel(326, 406, 63), kBlack);
    // Exploded, the torpedo still counts its way up and keeps its slot for 450 frames.
    EXPECT_EQ(log.Var("photon1y", 100), "358");
    EXPECT_EQ(log.Var("photonfire1", 100), "True");
    const std::vector<LogLine> slot = log.Matching("option 1 ");
    ASSERT_EQ(slot.size(), 3u) << log.Text();  // set at the start, launch, ready again
    EXPECT_EQ(slot[1].frame, 10);
    EXPECT_EQ(slot[1].event, "option 1 False");
    EXPECT_EQ(slot[2].frame, 459);
    EXPECT_EQ(slot[2].event, "option 1 True");
    EXPECT_EQ(log.Var("photonfire1", 460), "False");
    EXPECT_EQ(log.Count("sound 106 1"), 1);
}

TEST(Torpedoes, AMissingTorpedoLeavesTheTopAndItsSlotIsFreeFrom450FramesOn) {
    Script s = QuietGame();
    s.At(10, "keyup 32");
    // Still busy in the yield of frame 459: the launch takes slot 2.
    s.At(459, "keyup 32");
    for (const char* n : {"photon1y", "photonfire1", "detonated1"}) {
        s.At(460, std::string("print ") + n);
    }
    s.At(460, "keyup 32").At(461, "click cmdStart");
    const SimRun run = RunScript(s);
    const Log& log = run.log;
    EXPECT_EQ(log.Count("sound 106 1"), 0) << "nothing to detonate on";
    EXPECT_EQ(log.At(459),
              (std::vector<std::string>{"sound 110 1", "option 2 False", "option 1 True"}));
    EXPECT_EQ(log.Var("photon1y", 460), "-2");
    EXPECT_EQ(log.Var("photonfire1", 460), "False");
    EXPECT_EQ(log.Var("detonated1", 460), "False");
    EXPECT_TRUE(log.InOrder({"sound 110 1", "option 1 False"}, 460));
    EXPECT_EQ(log.FirstFrameOf("option 3 False"), -1);
}

TEST(Torpedoes, AFourthLaunchWithThreeInFlightDoesNothing) {
    Script s = QuietGame();
    s.At(10, "click cmdPhoton").At(10, "keyup 32").At(10, "mouseup 4 20 20");
    s.At(11, "keyup 32").At(11, "click cmdPhoton").At(11, "mouseup 4 20 20");
    s.At(12, "print photonfire1").At(12, "print photonfire2").At(12, "print photonfire3");
    s.At(200, "keyup 32").At(201, "click cmdStart");
    const SimRun run = RunScript(s);
    const Log& log = run.log;
    EXPECT_EQ(log.At(10),
              (std::vector<std::string>{"sound 110 1", "option 1 False", "sound 110 1",
                                        "option 2 False", "sound 110 1", "option 3 False"}));
    EXPECT_TRUE(log.At(11).empty());
    EXPECT_TRUE(log.At(200).empty());
    EXPECT_EQ(log.Var("photonfire3", 12), "True");
}

TEST(Torpedoes, OwnTorpedoDetonatingJustAboveTheShipDestroysIt) {
    // The cube's bottom grey row at 446, 445 or 444; the torpedo leaves from row 448.
    const struct {
        int greyRow;
        int64_t detonation;  // launched in frame 6
        bool destroyed;
    } cases[] = {{446, 6, true}, {445, 7, true}, {444, 8, false}};
    for (const auto& c : cases) {
        Script s = QuietGame();
        DrawCubeAt(s, 5, c.greyRow - 100);
        s.At(6, "pixel 326 " + std::to_string(c.greyRow)).At(6, "keyup 32");
        // After a defeat these run as idle lines, in the frame the game ended.
        s.At(9, "print gamerunning").At(9, "print score");
        if (!c.destroyed) s.At(9, "click cmdStart");
        const SimRun run = RunScript(s);
        const Log& log = run.log;
        const std::string what = "grey at row " + std::to_string(c.greyRow);
        ASSERT_EQ(log.Pixel(326, c.greyRow, 6), kGrey) << what;
        EXPECT_EQ(log.FirstFrameOf("sound 106 1"), c.detonation) << what;
        const std::vector<std::string> events = log.At(c.detonation);
        if (c.destroyed) {
            // Detonation, its 5 points, the own-ship blast, the high score, the dialog.
            EXPECT_TRUE(
                log.InOrder({"sound 106 1", "text txtScore 5", "sound 106 1", "text txtHighscore 5",
                             "dialog frmShipBoom", "sound 106 1", "controls off", "teardown"},
                            c.detonation))
                << what << "\n"
                << log.Text();
            EXPECT_EQ(std::count(events.begin(), events.end(), "sound 106 1"), 3) << what;
            EXPECT_EQ(log.Var("gamerunning", c.detonation), "False") << what;
        } else {
            EXPECT_TRUE(log.InOrder({"sound 106 1", "text txtScore 5"}, c.detonation)) << what;
            EXPECT_EQ(std::count(events.begin(), events.end(), "sound 106 1"), 1) << what;
            EXPECT_FALSE(log.Has("dialog frmShipBoom")) << what;
            EXPECT_EQ(log.Var("gamerunning", 9), "True") << what;
            EXPECT_EQ(log.Var("score", 9), "5") << what;
        }
    }
}

TEST(Torpedoes, WhereAnExplosionBlackenedTheGreyTheNextTorpedoFliesOnIntoTheCube) {
    Script s = QuietGame();
    DrawCubeAt(s, 5, 300);  // bottom grey row 400, the lattice's grey dots on even rows
    s.Every(6, 90, "set cubestep 0");
    // The first detonates in frame 56 at row 401; its marker's black disc (frame 61) clears
    // the grey around it. The second, launched ten frames later, passes the red disc and the
    // cleared rows and finds the first grey dot left above them, at row 390.
    s.At(10, "keyup 32").At(20, "keyup 32");
    s.At(62, "pixel 326 400").At(62, "pixel 326 392").At(62, "pixel 326 390");
    s.At(77, "print blast2y").At(77, "print photon2y").At(77, "print score");
    s.At(77, "click cmdStart");
    const SimRun run = RunScript(s);
    const Log& log = run.log;
    std::vector<int64_t> detonations;
    for (const LogLine& l : log.Matching("sound 106 1")) detonations.push_back(l.frame);
    EXPECT_EQ(detonations, (std::vector<int64_t>{56, 76}));
    EXPECT_EQ(log.Pixel(326, 400, 62), kBlack);
    EXPECT_EQ(log.Pixel(326, 392, 62), kBlack);
    EXPECT_EQ(log.Pixel(326, 390, 62), kGrey);
    EXPECT_EQ(log.Var("blast2y", 77), "391");
    EXPECT_EQ(log.Var("photon2y", 77), "391");
    EXPECT_EQ(log.Var("score", 77), "10");
}

TEST(Torpedoes, TwoDetonationsInOneFrameScoreTenWithTwoMarkers) {
    Script s = QuietGame();
    DrawCubeAt(s, 5, 300);
    s.Every(6, 70, "set cubestep 0");
    // Two launches in one yield from two ship positions: columns 326 and 346.
    s.At(10, "keyup 32").At(10, "set x 340").At(10, "keyup 32").At(10, "set x 320");
    for (const char* n :
         {"blast1on", "blast1x", "blast2on", "blast2x", "blast2y", "score", "cubeanger"}) {
        s.At(57, std::string("print ") + n);
    }
    s.At(57, "click cmdStart");
    const SimRun run = RunScript(s);
    const Log& log = run.log;
    EXPECT_EQ(log.GameEventsAt(56), (std::vector<std::string>{"sound 106 1", "text txtScore 5",
                                                              "sound 106 1", "text txtScore 10"}));
    EXPECT_EQ(log.Var("blast1on", 57), "True");
    EXPECT_EQ(log.Var("blast1x", 57), "326");
    EXPECT_EQ(log.Var("blast2on", 57), "True");
    EXPECT_EQ(log.Var("blast2x", 57), "346");
    EXPECT_EQ(log.Var("blast2y", 57), "401");
    EXPECT_EQ(log.Var("score", 57), "10");
    EXPECT_EQ(log.Var("cubeanger", 57), "10");
}
