// The ship and the phaser crosshairs: steering, one pixel every other frame, the bounds that
// stop them (with the ship's 630 -> 629 quirk), and travel to a mouse target.

#include <gtest/gtest.h>

#include "scenario_helpers.h"

using namespace scen;

namespace {

void Print(Script& s, int64_t frame, std::initializer_list<const char*> names) {
    for (const char* n : names) s.At(frame, std::string("print ") + n);
}

Script StartedGame() {
    Script s;
    s.Idle("stars 0").Idle("click cmdStart").ParkGlobe(2).At(2, "set supervessik False");
    return s;
}

}  // namespace

TEST(Ship, BoundsStopTheShipAtZeroAndPutItBackTo629AtTheRight) {
    Script s = StartedGame();
    // Writing oddturn True makes the frame's flip give False: a moving frame.
    s.At(10, "set x 1").At(10, "set oddturn True").At(10, "click cmdLeft");
    for (int64_t f = 11; f <= 13; ++f) Print(s, f, {"x", "deltax"});
    s.At(13, "pixel 6 469");
    s.At(20, "set x 629").At(20, "set oddturn True").At(20, "click cmdRight");
    for (int64_t f = 21; f <= 25; ++f) Print(s, f, {"x", "deltax"});
    // Bounds hold every frame, also on a frame without movement.
    s.At(30, "set x 700").At(30, "set oddturn False");
    Print(s, 31, {"x", "deltax"});
    s.At(31, "click cmdStart");
    const SimRun run = RunScript(s);
    const Log& log = run.log;

    EXPECT_EQ(log.Var("x", 11), "0");
    EXPECT_EQ(log.Var("deltax", 11), "-1");
    EXPECT_EQ(log.Var("x", 12), "0");
    EXPECT_EQ(log.Var("deltax", 12), "-1");
    // The step to -1 is put back to 0 and the ship stops.
    EXPECT_EQ(log.Var("x", 13), "0");
    EXPECT_EQ(log.Var("deltax", 13), "0");
    EXPECT_EQ(log.Pixel(6, 469, 13), kWhite) << "the ship is drawn at its new place";

    EXPECT_EQ(log.Var("x", 21), "630");
    EXPECT_EQ(log.Var("deltax", 21), "1");
    // The step to 631 is put back to 629, not 630.
    EXPECT_EQ(log.Var("x", 23), "629");
    EXPECT_EQ(log.Var("deltax", 23), "0");
    EXPECT_EQ(log.Var("x", 25), "629");

    EXPECT_EQ(log.Var("x", 31), "629");
    EXPECT_EQ(log.Var("deltax", 31), "0");
}

TEST(Ship, SteeringTurnsStopsButNeverAccumulates) {
    Script s = StartedGame();
    // Frames 10 to 14 are kept from moving (the flip of oddturn False gives True), so that
    // only the steering shows.
    s.At(10, "set oddturn False").At(11, "set oddturn False").At(12, "set oddturn False");
    s.At(13, "set oddturn False").At(14, "set oddturn False");
    s.At(10, "click cmdLeft").At(10, "click cmdLeft");
    Print(s, 10, {"deltax"});
    s.At(11, "click cmdRight");
    Print(s, 11, {"deltax"});
    s.At(12, "click cmdLeft").At(12, "click cmdRight").At(12, "click cmdRight");
    Print(s, 12, {"deltax"});
    s.At(13, "click cmdRight");
    Print(s, 13, {"deltax"});
    s.At(14, "click cmdStop");
    Print(s, 14, {"deltax", "x"});
    // Moving right: one pixel on every other frame.
    s.At(20, "click cmdRight").At(20, "set oddturn True");
    Print(s, 20, {"x"});
    for (int64_t f = 21; f <= 25; ++f) Print(s, f, {"x"});
    s.At(25, "click cmdStart");
    const SimRun run = RunScript(s);
    const Log& log = run.log;
    EXPECT_EQ(log.Var("deltax", 10), "-1") << "left twice";
    EXPECT_EQ(log.Var("deltax", 11), "0") << "left then right stops";
    EXPECT_EQ(log.Var("deltax", 12), "1") << "left, right, right moves right";
    EXPECT_EQ(log.Var("deltax", 13), "1") << "right again changes nothing";
    EXPECT_EQ(log.Var("deltax", 14), "0");
    EXPECT_EQ(log.Var("x", 14), "320") << "a direction set and taken back within frames "
                                          "that did not move leaves the ship";
    EXPECT_EQ(log.Vars("x"),
              (std::vector<std::string>{"320", "320", "321", "321", "322", "322", "323"}));
}

TEST(Crosshairs, BoundsPutTheCrosshairsOnePixelInsideAndStopThem) {
    Script s = StartedGame();
    s.At(10, "set crossy 446").At(10, "set oddturn True").At(10, "click cmdXhairdown");
    Print(s, 11, {"crossx", "crossy", "crossxdelta", "crossydelta"});
    s.At(11, "pixel 326 441").At(11, "pixel 326 445").At(11, "pixel 326 449");
    s.At(11, "pixel 326 450");

    s.At(12, "set crossy 3").At(12, "set oddturn True").At(12, "click cmdXhairup");
    Print(s, 13, {"crossx", "crossy", "crossxdelta", "crossydelta"});

    s.At(14, "set crossy 240").At(14, "set crossx 638").At(14, "set oddturn True");
    s.At(14, "click cmdXhairright");
    Print(s, 15, {"crossx", "crossy", "crossxdelta", "crossydelta"});

    s.At(16, "set crossx 3").At(16, "set oddturn True").At(16, "click cmdXhairleft");
    Print(s, 17, {"crossx", "crossy", "crossxdelta", "crossydelta"});
    Print(s, 19, {"crossx", "crossy"});
    s.At(19, "click cmdStart");
    const SimRun run = RunScript(s);
    const Log& log = run.log;

    EXPECT_EQ(log.Var("crossy", 11), "445");
    EXPECT_EQ(log.Var("crossydelta", 11), "0");
    // Drawn at its new centre (arms 4 rows above and below), the old bottom arm erased.
    EXPECT_EQ(log.Pixel(326, 441, 11), kMagenta);
    EXPECT_EQ(log.Pixel(326, 445, 11), kBlack);
    EXPECT_EQ(log.Pixel(326, 449, 11), kMagenta);
    EXPECT_EQ(log.Pixel(326, 450, 11), kBlack);

    EXPECT_EQ(log.Var("crossy", 13), "4");
    EXPECT_EQ(log.Var("crossydelta", 13), "0");
    EXPECT_EQ(log.Var("crossx", 15), "637");
    EXPECT_EQ(log.Var("crossxdelta", 15), "0");
    EXPECT_EQ(log.Var("crossx", 17), "4");
    EXPECT_EQ(log.Var("crossxdelta", 17), "0");
    EXPECT_EQ(log.Var("crossx", 19), "4");
    EXPECT_EQ(log.Var("crossy", 19), "240");
}

TEST(Crosshairs, TravelToAMouseTargetDiagonallyThenStraight) {
    Script s = StartedGame();
    s.At(10, "set oddturn True").At(10, "mouseup 1 500 100");
    // After k steps, taken in frames 10, 12, ..., the state shows in the yield of 9 + 2k.
    for (int k : {1, 139, 140, 141, 173, 174, 175}) {
        Print(s, 9 + 2 * k, {"crossx", "crossy", "targetx", "crossxdelta", "crossydelta"});
    }
    Print(s, 400, {"crossx", "crossy", "targetx"});
    s.At(400, "click cmdStart");
    const SimRun run = RunScript(s);
    const Log& log = run.log;
    auto at = [&](int k, const char* name) { return log.Var(name, 9 + 2 * k); };

    EXPECT_EQ(at(1, "crossx"), "327");
    EXPECT_EQ(at(1, "crossy"), "239");
    EXPECT_EQ(at(139, "crossx"), "465");
    EXPECT_EQ(at(139, "crossy"), "101");
    EXPECT_EQ(at(140, "crossx"), "466");
    EXPECT_EQ(at(140, "crossy"), "100");
    // Then straight along x alone.
    EXPECT_EQ(at(141, "crossx"), "467");
    EXPECT_EQ(at(141, "crossy"), "100");
    EXPECT_EQ(at(141, "crossydelta"), "0");
    EXPECT_EQ(at(173, "crossx"), "499");
    EXPECT_EQ(at(174, "crossx"), "500");
    EXPECT_EQ(at(174, "targetx"), "500") << "reached, but dropped only at the next step";
    // The next moving frame finds the target reached and drops it.
    EXPECT_EQ(at(175, "targetx"), "-100");
    EXPECT_EQ(at(175, "crossxdelta"), "0");
    EXPECT_EQ(at(175, "crossx"), "500");
    EXPECT_EQ(log.Var("crossx", 400), "500");
    EXPECT_EQ(log.Var("crossy", 400), "100");
}

TEST(Crosshairs, ATargetBelowTheRangeIsDroppedAtTheBound) {
    Script s = StartedGame();
    s.At(10, "set oddturn True").At(10, "mouseup 1 100 470");
    for (int k : {206, 207}) {
        Print(s, 9 + 2 * k,
              {"crossx", "crossy", "targetx", "targety", "crossxdelta", "crossydelta"});
    }
    Print(s, 500, {"crossx", "crossy"});
    s.At(500, "click cmdStart");
    const SimRun run = RunScript(s);
    const Log& log = run.log;
    EXPECT_EQ(log.Var("crossx", 421), "120");
    EXPECT_EQ(log.Var("crossy", 421), "446");
    EXPECT_EQ(log.Var("targetx", 421), "100");
    // One more step down to 447 is put back to 445; the target is dropped although the
    // crosshairs never reached its column.
    EXPECT_EQ(log.Var("crossx", 423), "119");
    EXPECT_EQ(log.Var("crossy", 423), "445");
    EXPECT_EQ(log.Var("targetx", 423), "-100");
    EXPECT_EQ(log.Var("targety", 423), "-100");
    EXPECT_EQ(log.Var("crossxdelta", 423), "0");
    EXPECT_EQ(log.Var("crossydelta", 423), "0");
    EXPECT_EQ(log.Var("crossx", 500), "119");
    EXPECT_EQ(log.Var("crossy", 500), "445");
}

TEST(Crosshairs, ATargetOnTheCrosshairsIsDroppedAtTheNextMovingFrameAndNothingMoves) {
    Script s = StartedGame();
    // A direction is set first; the target then overrides it.
    s.At(10, "click cmdXhairright").At(10, "mouseup 1 326 240").At(10, "set oddturn False");
    Print(s, 11, {"targetx", "crossx"});
    Print(s, 12, {"targetx", "targety", "crossx", "crossy", "crossxdelta"});
    Print(s, 20, {"crossx", "crossy"});
    s.At(20, "click cmdStart");
    const SimRun run = RunScript(s);
    const Log& log = run.log;
    EXPECT_EQ(log.Var("targetx", 11), "326") << "frame 10 did not move the crosshairs";
    EXPECT_EQ(log.Var("targetx", 12), "-100");
    EXPECT_EQ(log.Var("targety", 12), "-100");
    EXPECT_EQ(log.Var("crossxdelta", 12), "0");
    EXPECT_EQ(log.Var("crossx", 12), "326");
    EXPECT_EQ(log.Var("crossx", 20), "326");
    EXPECT_EQ(log.Var("crossy", 20), "240");
}

TEST(Crosshairs, ADirectionCommandWhileTravellingStopsThemAndDropsTheTarget) {
    Script s = StartedGame();
    s.At(10, "set oddturn True").At(10, "mouseup 1 500 100");
    // Five steps (frames 10 to 18), then the left arrow.
    s.At(20, "keyup 37");
    Print(s, 20, {"crossx", "crossy", "targetx", "crossxdelta", "crossydelta"});
    Print(s, 30, {"crossx", "crossy"});
    // A second press moves them.
    s.At(30, "keyup 37");
    Print(s, 40, {"crossx", "crossy"});
    // The buttons follow the same rule.
    s.At(50, "mouseup 1 500 100").At(60, "click cmdXhairup");
    Print(s, 60, {"targetx", "crossxdelta", "crossydelta"});
    s.At(70, "mouseup 1 500 100").At(80, "click cmdStopCrosshair");
    Print(s, 80, {"crossx", "crossy", "targetx", "crossxdelta", "crossydelta"});
    Print(s, 90, {"crossx", "crossy"});
    s.At(90, "click cmdStart");
    const SimRun run = RunScript(s);
    const Log& log = run.log;

    EXPECT_EQ(log.Var("crossx", 20), "331");
    EXPECT_EQ(log.Var("crossy", 20), "235");
    EXPECT_EQ(log.Var("targetx", 20), "-100");
    EXPECT_EQ(log.Var("crossxdelta", 20), "0");
    EXPECT_EQ(log.Var("crossydelta", 20), "0");
    EXPECT_EQ(log.Var("crossx", 30), "331");
    EXPECT_EQ(log.Var("crossy", 30), "235");
    EXPECT_EQ(log.Var("crossx", 40), "326");
    EXPECT_EQ(log.Var("crossy", 40), "235");

    EXPECT_EQ(log.Var("targetx", 60), "-100");
    EXPECT_EQ(log.Var("crossxdelta", 60), "0");
    EXPECT_EQ(log.Var("crossydelta", 60), "0") << "the direction just set is dropped too";

    EXPECT_EQ(log.Var("targetx", 80), "-100");
    EXPECT_EQ(log.Var("crossxdelta", 80), "0");
    EXPECT_EQ(log.Var("crossx", 90), log.Var("crossx", 80));
    EXPECT_EQ(log.Var("crossy", 90), log.Var("crossy", 80));
}

TEST(Crosshairs, ANewTargetReplacesTheOldAndANegativeColumnIsNoTarget) {
    Script s = StartedGame();
    s.At(10, "set oddturn True").At(10, "mouseup 1 500 100");
    // After two steps (frames 10 and 12) a new target down and to the left.
    s.At(13, "mouseup 1 300 250");
    Print(s, 13, {"crossx", "crossy"});
    Print(s, 15, {"crossx", "crossy", "crossxdelta", "crossydelta"});
    // A release left of the viewscreen gives a target column below zero: no target at all.
    s.At(100, "click cmdStopCrosshair").At(100, "mouseup 1 -5 100");
    Print(s, 101, {"crossx", "crossy"});
    Print(s, 120, {"crossx", "crossy", "targetx", "crossxdelta", "crossydelta"});
    s.At(120, "click cmdStart");
    const SimRun run = RunScript(s);
    const Log& log = run.log;
    EXPECT_EQ(log.Var("crossx", 13), "328");
    EXPECT_EQ(log.Var("crossy", 13), "238");
    EXPECT_EQ(log.Var("crossx", 15), "327");
    EXPECT_EQ(log.Var("crossy", 15), "239");
    EXPECT_EQ(log.Var("crossxdelta", 15), "-1");
    EXPECT_EQ(log.Var("crossydelta", 15), "1");
    EXPECT_EQ(log.Var("crossx", 120), log.Var("crossx", 101));
    EXPECT_EQ(log.Var("crossy", 120), log.Var("crossy", 101));
    EXPECT_EQ(log.Var("crossxdelta", 120), "0");
    EXPECT_EQ(log.Var("crossydelta", 120), "0");
}
