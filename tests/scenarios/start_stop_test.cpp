// Starting and stopping a game: what the player sees in the log and on the viewscreen, the
// screen-size check, a stop click nested in the yield, minimising, and the random draws that
// a seed fixes at the start of a game.

#include <gtest/gtest.h>

#include "scenario_helpers.h"

using namespace scen;

namespace {

const std::string kScreenMessageStart =
    "msgbox Sorry, this game was designed to run in at least 800x600 or better screen "
    "resolution.  You are running ";
const std::string kScreenMessageEnd =
    ". Change your screen resolution by right-clicking on the Desktop, choose Properties, "
    "Settings.";

}  // namespace

TEST(StartStop, StartThenStopAtFrame100LeavesOnlyTheFourYellowCorners) {
    const std::string screenFile = TempPath("after_stop.ppm");
    Script s;
    s.Idle("click cmdStart").At(100, "dump").At(100, "click cmdStart").Idle("screen " + screenFile);
    const SimRun run = RunScript(s);
    ASSERT_EQ(run.result.exitCode, 0) << run.result.error;
    const Log& log = run.log;

    // The start: settings dialog, window reset with read-outs at 0, high score shown, start
    // sound, controls on, the three torpedo indicators set.
    EXPECT_TRUE(log.InOrder({"dialog frmStart", "reset", "text txtScore 0", "text txtGameTime 0",
                             "text txtHighscore 0", "sound 115 1", "controls on", "option 1 True",
                             "option 2 True", "option 3 True"}))
        << log.Text();
    for (const char* e : {"dialog frmStart", "reset", "controls on", "option 3 True"}) {
        EXPECT_EQ(log.FirstFrameOf(e), 0) << e;
    }
    // Nothing ends the game before the stop click.
    EXPECT_EQ(log.FirstFrameOf("controls off"), 100);
    EXPECT_EQ(log.Var("gamerunning", 100), "True");
    EXPECT_EQ(log.Var("score", 100), "0");

    // The stop: sound 108, controls off, the stop branch's teardown and then the loop's own.
    EXPECT_EQ(log.GameEventsAt(100),
              (std::vector<std::string>{"sound 108 1", "controls off", "teardown", "teardown"}));
    EXPECT_EQ(log.Lines().back().event, "end");

    const std::optional<Screen> screen = TakeScreen(screenFile);
    ASSERT_TRUE(screen.has_value());
    ASSERT_EQ(screen->width, 642);
    ASSERT_EQ(screen->height, 482);
    int yellow = 0, other = 0;
    for (int y = 0; y < 482; ++y) {
        for (int x = 0; x < 642; ++x) {
            const bool corner = (x == 0 || x == 641) && (y == 0 || y == 481);
            const uint32_t c = screen->At(x, y);
            if (corner) {
                EXPECT_EQ(c, kYellow) << x << "," << y;
                yellow += c == kYellow;
            } else {
                other += c != kBlack;
            }
        }
    }
    EXPECT_EQ(yellow, 4);
    EXPECT_EQ(other, 0) << "pixels other than the corners are not black";
}

TEST(StartStop, StartUpShowsEmptyReadOutsAndTheSoundSwitchOn) {
    const SimRun idle = RunScript(std::string());
    ASSERT_EQ(idle.result.exitCode, 0);
    // The window is loaded before the score and clock are first set: its read-outs stay
    // empty, and only the sound switch's caption changes.
    EXPECT_EQ(idle.result.log, "0 text cmdSound sound: ON\n0 end\n");
}

TEST(StartStop, ScreenSmallerThan800x600ShowsOnlyTheMessage) {
    const SimRun idle = RunScript(std::string());
    ASSERT_EQ(idle.result.exitCode, 0);
    std::string startUp = idle.result.log;
    ASSERT_EQ(startUp.substr(startUp.size() - 6), "0 end\n");
    startUp.erase(startUp.size() - 6);

    for (auto [w, h] : {std::pair{799, 600}, std::pair{800, 599}, std::pair{640, 480}}) {
        const std::string size = std::to_string(w) + "x" + std::to_string(h);
        RunOptions o;
        o.width = w;
        o.height = h;
        const SimRun run = RunScript("click cmdStart\nkeyup 32\nclick cmdStart\n", o);
        ASSERT_EQ(run.result.exitCode, 0);
        const std::string message = "0 " + kScreenMessageStart + size + kScreenMessageEnd + "\n";
        EXPECT_EQ(run.result.log, startUp + message + message + "0 end\n") << size;
    }

    RunOptions o;
    o.width = 800;
    o.height = 600;
    const SimRun big = RunScript("click cmdStart\nat 5 click cmdStart\n", o);
    EXPECT_EQ(big.log.Count("dialog frmStart"), 1);
    EXPECT_EQ(big.log.FirstFrameOf("controls on"), 0);
    EXPECT_EQ(big.log.FirstFrameOf("controls off"), 5);
    EXPECT_TRUE(big.log.Matching("msgbox").empty());
}

TEST(StartStop, TwoStartClicksInOneYieldStopThenRunANestedGame) {
    Script s;
    s.Idle("click cmdStart")
        .At(50, "click cmdStart")
        .At(50, "click cmdStart")
        .At(120, "print gamerunning")
        .At(200, "click cmdStart")
        .Idle("print clockframes")
        .Idle("print gamerunning");
    const SimRun run = RunScript(s);
    const Log& log = run.log;

    // The first click stops the game; the second, in the same yield, starts a new one.
    const std::vector<std::string> at50 = log.At(50);
    ASSERT_GE(at50.size(), 3u) << log.Text();
    EXPECT_EQ(std::vector<std::string>(at50.begin(), at50.begin() + 3),
              (std::vector<std::string>{"sound 108 1", "controls off", "teardown"}));
    EXPECT_TRUE(log.InOrder(
        {"teardown", "dialog frmStart", "reset", "sound 115 1", "controls on", "option 3 True"},
        50))
        << log.Text();
    // The nested game runs its own frames inside the outer frame 50.
    EXPECT_EQ(log.Var("gamerunning", 120), "True");
    // Its stop: the stop branch's teardown, the nested loop's, then the outer loop's, which
    // leaves at its exit test once the frame that held the nested game has finished.
    EXPECT_EQ(log.GameEventsAt(200),
              (std::vector<std::string>{"sound 108 1", "controls off", "teardown", "teardown",
                                        "teardown"}));
    // 150 nested frames and 50 outer ones, the last of which finished its phases (the clock
    // among them) after the nested game had ended.
    EXPECT_EQ(log.Var("clockframes", 200), "200");
    EXPECT_EQ(log.Var("gamerunning", 200), "False");
}

TEST(StartStop, MinimisingTheWindowEndsTheGameSilently) {
    Script s;
    s.Idle("click cmdStart")
        .At(30, "set score 7")
        .At(30, "minimise")
        .At(31, "click cmdPhaser")
        .Idle("restore")
        .Idle("print gamerunning")
        .Idle("keyup 32")
        .Idle("click cmdPhoton");
    const SimRun run = RunScript(s);
    const Log& log = run.log;
    const std::vector<std::string> at30 = log.At(30);
    for (const std::string& e : at30) {
        EXPECT_NE(e.rfind("sound", 0), 0u) << "a sound at the minimised stop: " << e;
        EXPECT_NE(e.rfind("dialog", 0), 0u) << "a dialog at the minimised stop: " << e;
    }
    EXPECT_TRUE(log.InOrder({"text txtHighscore 7", "controls off", "teardown"}, 30));
    EXPECT_EQ(log.Var("gamerunning", 30), "False");
    // Restored, the window shows no game: the frame counter stands still and play commands
    // do nothing.
    EXPECT_EQ(log.Lines().back().frame, 30);
    EXPECT_EQ(log.Count("sound 110 1"), 0);
    EXPECT_EQ(log.Count("sound 105 1"), 0);
}

// The start re-creates the window as it is designed, not minimised: the game runs.
TEST(StartStop, AStartWhileMinimisedRunsTheGame) {
    Script s;
    s.Idle("minimise").Idle("click cmdStart").At(40, "print gamerunning");
    EXPECT_EQ(RunScript(s).log.Var("gamerunning", 40), "True");
}

TEST(StartStop, ExactlyOneHundredFortyTwoStarsArmTheSuperWeapon) {
    for (uint64_t seed = 1; seed <= 6; ++seed) {
        for (int stars : {141, 142, 143}) {
            // Predict the draw for this seed: two per star, then the shield shot, then the
            // super weapon's one-in-a-hundred.
            SplitMix rng(seed);
            for (int i = 0; i < 2 * (stars + 1); ++i) rng.NextZ();
            rng.Rand(100);
            const bool lucky = rng.Rand(100) + 1 == 1;
            Script s;
            s.Idle("stars " + std::to_string(stars))
                .Idle("click cmdStart")
                .At(1, "print supervessik")
                .At(1, "click cmdStart");
            RunOptions o;
            o.seed = seed;
            const SimRun run = RunScript(s, o);
            const bool armed = stars == 142 || lucky;
            EXPECT_EQ(run.log.Var("supervessik", 1), armed ? "True" : "False")
                << "seed " << seed << ", " << stars << " stars";
        }
    }
}

TEST(StartStop, TheSeedFixesStarsFlagsAndCubeInTheirDrawOrder) {
    for (uint64_t seed : {1ull, 77ull, 123456789ull}) {
        for (int stars : {0, 3, 150}) {
            SplitMix rng(seed);
            std::vector<int> sx, sy;
            for (int i = 0; i <= stars; ++i) {
                sx.push_back(rng.Rand(642));
                sy.push_back(rng.Rand(482));
            }
            const int shootChance = rng.Rand(100) + 1;
            const int superChance = rng.Rand(100) + 1;
            const int cubex = rng.Rand(792) - 150;

            Script s;
            s.Idle("stars " + std::to_string(stars)).Idle("click cmdStart");
            for (int i : {0, stars / 2, stars}) {
                s.At(1, "print starx[" + std::to_string(i) + "]");
                s.At(1, "print stary[" + std::to_string(i) + "]");
            }
            s.At(1, "print vessikshootsshields")
                .At(1, "print chance")
                .At(1, "print cubex")
                .At(1, "print cubey")
                .At(1, "click cmdStart");
            RunOptions o;
            o.seed = seed;
            const SimRun run = RunScript(s, o);
            const Log& log = run.log;
            const std::string where =
                "seed " + std::to_string(seed) + ", stars " + std::to_string(stars);
            for (int i : {0, stars / 2, stars}) {
                const std::string n = std::to_string(i);
                EXPECT_EQ(log.Var("starx[" + n + "]", 1), std::to_string(sx[i])) << where;
                EXPECT_EQ(log.Var("stary[" + n + "]", 1), std::to_string(sy[i])) << where;
            }
            EXPECT_EQ(log.Var("vessikshootsshields", 1), shootChance < 51 ? "True" : "False")
                << where;
            EXPECT_EQ(log.Var("chance", 1), std::to_string(superChance)) << where;
            EXPECT_EQ(log.Var("cubex", 1), std::to_string(cubex)) << where;
            EXPECT_EQ(log.Var("cubey", 1), "-150") << where;
        }
    }
}

TEST(StartStop, SameSeedSameLogAndEveryGameIsSeededAgain) {
    Script s;
    s.Idle("click cmdStart")
        .At(1, "print cubex")
        .At(1, "print starx[7]")
        .At(40, "keyup 32")
        .At(60, "click cmdPhaser")
        .At(300, "click cmdStart")
        .Idle("click cmdStart")
        .At(301, "print cubex")
        .At(301, "print starx[7]")
        .At(400, "click cmdStart");
    RunOptions o;
    o.seed = 4242;
    const SimRun a = RunScript(s, o);
    const SimRun b = RunScript(s, o);
    EXPECT_EQ(a.result.log, b.result.log);
    // Each game start seeds the generator with the same number, so both games begin alike.
    EXPECT_EQ(a.log.Var("cubex", 1), a.log.Var("cubex", 301));
    EXPECT_EQ(a.log.Var("starx[7]", 1), a.log.Var("starx[7]", 301));

    o.seed = 4243;
    const SimRun c = RunScript(s, o);
    EXPECT_NE(a.log.Vars("starx[7]"), c.log.Vars("starx[7]"));
}

TEST(StartStop, GeneratorHelperMatchesThePublishedTestVector) {
    // Guards the predictions above: the generator the tests re-make must be the game's.
    SplitMix rng(1234567);
    EXPECT_EQ(rng.NextZ(), 6457827717110365317ull);
    EXPECT_EQ(rng.NextZ(), 3203168211198807973ull);
    EXPECT_EQ(rng.NextZ(), 9817491932198370423ull);
}
