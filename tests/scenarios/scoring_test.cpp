// Scoring and victory: the win test at the end of the frame, the victory sequence and its
// dialog, the make-harder answer, the high score across games and the carried-over clock.

#include <gtest/gtest.h>

#include "scenario_helpers.h"

using namespace scen;

namespace {

// Answers for the dialogs are given before the start click: an idle line after it would
// wait for the game to end.
Script StartedGame(bool harder = false) {
    Script s;
    if (harder) s.Idle("harder");
    s.Idle("stars 0").Idle("click cmdStart").ParkGlobe(2).At(2, "set supervessik False");
    return s;
}

// A phaser hit in frame `frame`: the cube square around the crosshairs, the ship below.
void PhaserHit(Script& s, int64_t frame) {
    s.At(frame, "set cubex 270")
        .At(frame, "set cubey 100")
        .At(frame, "set cubestep 0")
        .At(frame, "set crossx 326")
        .At(frame, "set crossy 150")
        .At(frame, "click cmdPhaser");
}

const std::vector<std::string> kVictory500 = {
    "sound 106 0",           "sound 106 0",  "sound 106 0",
    "dialog frmUWin",        "sound 117 1",  "text txtCurrentScore 500",
    "text txtNextscore 500", "controls off", "teardown"};

}  // namespace

TEST(Scoring, FiveHundredWinsAtTheEndOfTheFrameAndFourHundredNinetyNineDoesNot) {
    Script s = StartedGame();
    s.At(10, "set score 499");
    s.At(11, "print gamerunning").At(11, "set score 498");
    PhaserHit(s, 11);
    s.Idle("print winscore").Idle("print highscore");
    const SimRun run = RunScript(s);
    const Log& log = run.log;
    EXPECT_TRUE(log.GameEventsAt(10).empty());
    EXPECT_EQ(log.Var("gamerunning", 11), "True");
    std::vector<std::string> want = {"sound 105 1", "text txtScore 500", "text txtHighscore 500"};
    want.insert(want.end(), kVictory500.begin(), kVictory500.end());
    EXPECT_EQ(log.GameEventsAt(11), want);
    EXPECT_EQ(log.Var("winscore", 11), "499") << "no harder: the win score stays";
    EXPECT_EQ(log.Var("highscore", 11), "500");
}

TEST(Scoring, HarderMakesTheNextGameNeedSixHundred) {
    Script s = StartedGame(true);
    s.At(10, "set score 500");
    s.Idle("print winscore").Idle("print nextwinscore");
    // The next game: 599 does not win, 600 does; the answer was for one dialog only.
    s.Idle("click cmdStart");
    s.At(20, "set score 599").At(21, "print gamerunning").At(21, "set score 600");
    s.Idle("print winscore");
    // Won without the answer: the win score stays at 599.
    s.Idle("click cmdStart").At(30, "set score 600");
    s.Idle("print winscore");
    const SimRun run = RunScript(s);
    const Log& log = run.log;
    EXPECT_TRUE(log.InOrder({"dialog frmUWin", "sound 117 1", "text txtCurrentScore 500",
                             "text txtNextscore 500", "text txtNextscore 600", "controls off"},
                            10))
        << log.Text();
    EXPECT_EQ(log.Var("winscore", 10), "599");
    EXPECT_EQ(log.Var("nextwinscore", 10), "599");
    EXPECT_TRUE(log.GameEventsAt(20).empty());
    EXPECT_EQ(log.Var("gamerunning", 21), "True");
    EXPECT_TRUE(log.InOrder({"dialog frmUWin", "sound 117 1", "text txtCurrentScore 600",
                             "text txtNextscore 600", "controls off"},
                            21));
    EXPECT_EQ(log.Var("winscore", 21), "599");
    EXPECT_EQ(log.Var("winscore", 30), "599");
    EXPECT_EQ(log.Count("text txtNextscore 700"), 0);
    EXPECT_EQ(log.Count("dialog frmUWin"), 3);
}

TEST(Scoring, HighScoreIsKeptAcrossGamesAndShownWhenAGameEnds) {
    Script s = StartedGame();
    s.At(10, "set score 30").At(20, "click cmdStart");
    s.Idle("print score").Idle("click cmdStart");
    s.At(30, "set score 20").At(40, "click cmdStart");
    s.Idle("print highscore").Idle("click cmdStart");
    s.At(50, "set score 30").At(60, "click cmdStart");
    s.Idle("click cmdStart").At(70, "set score 31").At(80, "click cmdStart");
    s.Idle("print highscore");
    const SimRun run = RunScript(s);
    const Log& log = run.log;
    // Shown at once when the game stops, and again at the next start. The last game's score
    // stays shown until the next start writes 0.
    EXPECT_TRUE(log.InOrder(
        {"sound 108 1", "text txtHighscore 30", "controls off", "teardown", "var score 30", "reset",
         "text txtScore 30", "text txtHighscore 30", "controls on", "text txtScore 0"},
        20));
    const std::vector<LogLine> shown = log.Matching("text txtHighscore");
    std::vector<std::string> where;
    for (const LogLine& l : shown) where.push_back(std::to_string(l.frame) + " " + l.event);
    // Lower (20) and equal (30) scores leave it; 31 beats it.
    EXPECT_EQ(where,
              (std::vector<std::string>{"0 text txtHighscore 0", "20 text txtHighscore 30",
                                        "20 text txtHighscore 30", "40 text txtHighscore 30",
                                        "60 text txtHighscore 30", "80 text txtHighscore 31"}));
    EXPECT_EQ(log.Var("highscore", 40), "30");
    EXPECT_EQ(log.Var("highscore", 80), "31");
}

TEST(Scoring, TheClockTicksEvery500FramesCountedAcrossGames) {
    {
        Script s = StartedGame();
        s.At(501, "print gametime").At(1001, "click cmdStart");
        const SimRun run = RunScript(s);
        std::vector<int64_t> ticks;
        for (const LogLine& l : run.log.Matching("text txtGameTime ")) ticks.push_back(l.frame);
        // 0 at the window reload (the game start shows the same), then 1 and 2.
        EXPECT_EQ(ticks, (std::vector<int64_t>{0, 500, 1000}));
        EXPECT_EQ(run.log.Var("gametime", 501), "1");
        EXPECT_TRUE(run.log.Has("text txtGameTime 2"));
    }
    {
        // A first game of 300 frames: the second game's clock ticks after its 200th frame,
        // not its 500th.
        Script s = StartedGame();
        s.At(300, "click cmdStart").Idle("click cmdStart");
        s.At(499, "print gametime").At(500, "print gametime").At(501, "print gametime");
        s.At(900, "click cmdStart");
        const SimRun run = RunScript(s);
        EXPECT_EQ(run.log.FirstFrameOf("text txtGameTime 1"), 500);
        EXPECT_EQ(run.log.Var("gametime", 500), "0");
        EXPECT_EQ(run.log.Var("gametime", 501), "1");
        EXPECT_FALSE(run.log.Has("text txtGameTime 2"));
    }
}

TEST(Scoring, ATorpedoThatDestroysTheShipAndPassesTheWinScoreGivesDefeatThenVictory) {
    for (bool harder : {false, true}) {
        Script s = StartedGame(harder);
        // The cube's bottom grey row at 446, just above the ship's nose.
        s.At(5, "set oddturn True")
            .At(5, "set cubeanger 0")
            .At(5, "set cubex 270")
            .At(5, "set cubey 345")
            .At(5, "set cubestep 24");
        s.At(6, "set score 496").At(6, "keyup 32");
        s.Idle("print winscore");
        const SimRun run = RunScript(s);
        const Log& log = run.log;
        std::vector<std::string> want = {
            "sound 110 1",          "option 1 False", "sound 106 1",
            "text txtScore 501",    "sound 106 1",    "text txtHighscore 501",
            "dialog frmShipBoom",   "sound 106 1",    "controls off",
            "sound 106 0",          "sound 106 0",    "sound 106 0",
            "dialog frmUWin",       "sound 117 1",    "text txtCurrentScore 500",
            "text txtNextscore 500"};
        if (harder) want.push_back("text txtNextscore 600");
        want.insert(want.end(), {"controls off", "teardown"});
        EXPECT_EQ(log.GameEventsAt(6), want) << (harder ? "harder" : "not harder");
        EXPECT_EQ(log.Var("winscore", 6), harder ? "599" : "499");
    }
}
