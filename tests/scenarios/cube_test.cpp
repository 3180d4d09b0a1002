// The enemy cube: one step every 25 frames, chasing and sinking when calm, hovering when
// agitated, backing away when enraged, calming off-screen, and a step counter that carries
// over from one game to the next.

#include <gtest/gtest.h>

#include "scenario_helpers.h"

using namespace scen;

namespace {

// One step of the cube in frame `frame`, from a state written in that frame's yield.
// Writing oddturn True makes the frame's flip give False, so the step has no decay.
void StepFrom(Script& s, int64_t frame, int cubex, int cubey, int anger) {
    s.At(frame, "set oddturn True")
        .At(frame, "set cubex " + std::to_string(cubex))
        .At(frame, "set cubey " + std::to_string(cubey))
        .At(frame, "set cubeanger " + std::to_string(anger))
        .At(frame, "set cubestep 24");
}

void PrintCube(Script& s, int64_t frame) {
    s.At(frame, "print cubex")
        .At(frame, "print cubey")
        .At(frame, "print cubemode")
        .At(frame, "print cubeanger");
}

}  // namespace

TEST(Cube, CalmCubeSinksFor505StepsThenOnlyMovesSideways) {
    // The ship waits at the right edge and the cube starts at the far left, so the cube is
    // still beside the ship when it reaches the ship's height. Every yield starts a step.
    Script s;
    s.Idle("stars 0").Idle("click cmdStart").ParkGlobe(1);
    s.At(1, "set supervessik False").At(1, "set x 630").At(1, "set cubex -150");
    for (int64_t f = 1; f <= 700; ++f) {
        if (f == 505 || f == 506 || f == 507 || f == 600 || f == 688) {
            s.At(f, "print cubex").At(f, "print cubey").At(f, "print gamerunning");
        }
        s.At(f, "set cubestep 24");
    }
    const SimRun run = RunScript(s);
    const Log& log = run.log;
    // A value printed in frame f is the state after f - 1 steps.
    EXPECT_EQ(log.Var("cubey", 505), "354");
    EXPECT_EQ(log.Var("cubex", 505), "354");
    EXPECT_EQ(log.Var("cubey", 506), "355");
    EXPECT_EQ(log.Var("cubex", 506), "355");
    EXPECT_EQ(log.Var("cubey", 507), "355");
    EXPECT_EQ(log.Var("cubex", 507), "356");
    EXPECT_EQ(log.Var("cubey", 600), "355");
    EXPECT_EQ(log.Var("cubex", 600), "449");
    EXPECT_EQ(log.Var("gamerunning", 688), "True");
    EXPECT_EQ(log.Var("cubex", 688), "537");
    // Step 688 brings the cube's left column to 538, the first that puts the ship's centre
    // column (637) strictly inside it: absorbed.
    EXPECT_EQ(log.FirstFrameOf("dialog frmVessikWin"), 688);
    EXPECT_TRUE(
        log.InOrder({"dialog frmVessikWin", "sound 112 1", "controls off", "teardown"}, 688));
}

TEST(Cube, AtItsOwnPaceTheCubeStepsEvery25FramesAndReachesTheShipAfter12625) {
    Script s;
    s.Idle("stars 0").Idle("click cmdStart").ParkGlobe(1);
    s.At(1, "set supervessik False").At(1, "set x 630").At(1, "set cubex -150");
    for (int64_t f : {24, 25, 26, 50, 51, 12625, 12626, 12650, 12651}) {
        s.At(f, "print cubex").At(f, "print cubey");
    }
    s.At(12651, "click cmdStart");
    const SimRun run = RunScript(s);
    const Log& log = run.log;
    EXPECT_EQ(log.Var("cubey", 25), "-150");
    EXPECT_EQ(log.Var("cubey", 26), "-149");
    EXPECT_EQ(log.Var("cubex", 26), "-149");
    EXPECT_EQ(log.Var("cubey", 50), "-149");
    EXPECT_EQ(log.Var("cubey", 51), "-148");
    EXPECT_EQ(log.Var("cubey", 12625), "354");
    EXPECT_EQ(log.Var("cubey", 12626), "355");
    EXPECT_EQ(log.Var("cubex", 12626), "355");
    EXPECT_EQ(log.Var("cubey", 12651), "355");
    EXPECT_EQ(log.Var("cubex", 12651), "356");
    EXPECT_EQ(log.FirstFrameOf("controls off"), 12651);
}

TEST(Cube, AgitationChoosesTheMode) {
    Script s;
    s.Idle("stars 0").Idle("click cmdStart").ParkGlobe(5).At(5, "set supervessik False");
    // Ship at 320; the cube's centre column left of it (cubex 200) or right of it (400).
    const struct {
        int cubex, anger;
    } cases[] = {{200, 74}, {200, 75}, {200, 125}, {200, 126}, {400, 126}, {400, 0}, {270, 0}};
    int64_t f = 10;
    for (const auto& c : cases) {
        StepFrom(s, f, c.cubex, 100, c.anger);
        PrintCube(s, f + 1);
        f += 2;
    }
    s.At(f, "click cmdStart");
    const SimRun run = RunScript(s);
    const Log& log = run.log;
    const struct {
        const char *cubex, *cubey, *mode;
    } want[] = {
        {"201", "101", "0"},   // 74: calm, one step towards the ship and down
        {"200", "100", "-1"},  // 75: hovers
        {"200", "100", "-1"},  // 125: still hovers
        {"199", "99", "-2"},   // 126: backs away and up
        {"401", "99", "-2"},   // backing away from the other side
        {"399", "101", "0"},   // calm, chasing from the other side
        {"270", "101", "0"},   // centre column on the ship's column: straight down
    };
    f = 11;
    for (size_t i = 0; i < std::size(want); ++i, f += 2) {
        EXPECT_EQ(log.Var("cubex", f), want[i].cubex) << "case " << i;
        EXPECT_EQ(log.Var("cubey", f), want[i].cubey) << "case " << i;
        EXPECT_EQ(log.Var("cubemode", f), want[i].mode) << "case " << i;
        EXPECT_EQ(log.Var("cubeanger", f), std::to_string(cases[i].anger)) << "case " << i;
    }
}

TEST(Cube, EnragedCubeBacksNineStepsChasesOneAndCalmsAfterThirty) {
    Script s;
    s.Idle("stars 0").Idle("click cmdStart").ParkGlobe(10).At(10, "set supervessik False");
    s.At(10, "set cubex 100").At(10, "set cubey 200").At(10, "set cubeanger 200");
    for (int64_t f = 10; f <= 51; ++f) {
        if (f > 10) s.At(f, "print cubex").At(f, "print cubey");
        if (f == 39 || f == 40) s.At(f, "print cubeanger").At(f, "print retreatsteps");
        s.At(f, "set cubestep 24");
    }
    s.At(51, "click cmdStart");
    const SimRun run = RunScript(s);
    const Log& log = run.log;

    // Steps 10, 20 and 30 are chasing steps; the thirtieth step with the mode computed as
    // enraged drops the agitation to 50, and the cube chases from then on.
    int cubex = 100, cubey = 200;
    for (int step = 1; step <= 41; ++step) {
        const bool chase = step % 10 == 0 || step > 30;
        cubex += chase ? 1 : -1;
        cubey += chase ? 1 : -1;
        EXPECT_EQ(log.Var("cubex", 10 + step), std::to_string(cubex)) << "after step " << step;
        EXPECT_EQ(log.Var("cubey", 10 + step), std::to_string(cubey)) << "after step " << step;
    }
    // Printed in frame 10 + n: the state after n steps.
    EXPECT_EQ(log.Var("retreatsteps", 39), "29");
    EXPECT_EQ(log.Var("cubeanger", 40), "50");
    EXPECT_EQ(log.Var("retreatsteps", 40), "0");
}

TEST(Cube, HoveringCubeCalmsAfterAHundredSteps) {
    Script s;
    s.Idle("stars 0").Idle("click cmdStart").ParkGlobe(10).At(10, "set supervessik False");
    s.At(10, "set cubex 100").At(10, "set cubey 200");
    // The agitation is held at 100 by hand, so every step is computed as hovering.
    for (int64_t f = 10; f <= 109; ++f) s.At(f, "set cubeanger 100").At(f, "set cubestep 24");
    s.At(110, "print cubeanger").At(110, "print holdsteps").At(110, "print cubex");
    s.At(110, "print cubey").At(110, "click cmdStart");
    const SimRun run = RunScript(s);
    // 90 hovering steps and 10 chasing ones; the hundredth drops the agitation to 10.
    EXPECT_EQ(run.log.Var("cubeanger", 110), "10");
    EXPECT_EQ(run.log.Var("holdsteps", 110), "0");
    EXPECT_EQ(run.log.Var("cubex", 110), "110");
    EXPECT_EQ(run.log.Var("cubey", 110), "210");
}

TEST(Cube, AboveRowOneTheCubeCalmsByTenAStep) {
    Script s;
    s.Idle("stars 0").Idle("click cmdStart").ParkGlobe(5).At(5, "set supervessik False");
    const struct {
        int cubey, anger;
        const char* after;
    } cases[] = {
        {0, 50, "40"},
        {1, 50, "50"},
        {0, 5, "0"},
        {-150, 0, "0"},
        // Calming comes before the mode: 130 becomes 120, a hovering step.
        {-150, 130, "120"},
    };
    int64_t f = 10;
    for (const auto& c : cases) {
        StepFrom(s, f, 270, c.cubey, c.anger);
        PrintCube(s, f + 1);
        f += 2;
    }
    s.At(f, "click cmdStart");
    const SimRun run = RunScript(s);
    f = 11;
    for (const auto& c : cases) {
        EXPECT_EQ(run.log.Var("cubeanger", f), c.after)
            << "cubey " << c.cubey << " anger " << c.anger;
        f += 2;
    }
    EXPECT_EQ(run.log.Var("cubey", 19), "-150") << "a hovering cube does not sink";
    EXPECT_EQ(run.log.Var("cubemode", 19), "-1");
}

TEST(Cube, StepCounterCarriesOverIntoTheNextGame) {
    Script s;
    s.Idle("stars 0")
        .Idle("click cmdStart")
        .At(25, "print cubey")
        .At(26, "print cubey")
        .At(40, "click cmdStart")
        .Idle("print cubestep")
        .Idle("click cmdStart")
        .At(41, "print cubestep")
        .At(50, "print cubey")
        .At(51, "print cubey")
        .At(51, "click cmdStart");
    const SimRun run = RunScript(s);
    const Log& log = run.log;
    // The first game's first step is at frame 25.
    EXPECT_EQ(log.Var("cubey", 25), "-150");
    EXPECT_EQ(log.Var("cubey", 26), "-149");
    // Stopped in frame 40, whose phases still ran: 15 frames since the step at frame 25.
    EXPECT_EQ(log.Var("cubestep", 40), "15");
    EXPECT_EQ(log.Var("cubestep", 41), "15");
    // So the second game's first step comes after 10 frames, not 25.
    EXPECT_EQ(log.Var("cubey", 50), "-150");
    EXPECT_EQ(log.Var("cubey", 51), "-149");
}
