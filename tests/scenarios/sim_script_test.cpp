// korvane-sim itself: rejecting bad scripts and options with the line named, and the shape of
// a run (idle lines, frame lines, the end of the script, the end of the program).

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "scenario_helpers.h"

using namespace scen;

namespace {

korvane::sim::SimResult CommandLine(const std::vector<std::string>& args) {
    return korvane::sim::RunSimCommandLine(args);
}

std::string WriteScript(const std::string& name, const std::string& text) {
    const std::string path = TempPath(name);
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

}  // namespace

TEST(SimScript, ABadScriptIsRejectedWithItsLineAndRunsNothing) {
    const struct {
        const char* script;
        int line;
    } cases[] = {
        {"click cmdStart\nfrobnicate\n", 2},             // unknown command
        {"# a comment\n\nclick cmdNothing\n", 3},        // unknown button
        {"set nosuchvariable 5\n", 1},                   // unknown name
        {"click cmdStart\nat 5 print starx[501]\n", 2},  // beyond the star table
        {"stars 4\nkeyup\n", 2},                         // missing argument
        {"keyup space\n", 1},                            // malformed argument
        {"set cubey\n", 1},
        {"set cubey twelve\n", 1},
        {"pixel 10\n", 1},
        {"pixel 10 y\n", 1},
        {"mouseup 1 10\n", 1},
        {"print\n", 1},
        {"stars\n", 1},
        {"stars many\n", 1},
        {"screen\n", 1},
        {"click\n", 1},
        {"at\n", 1},
        {"at ten click cmdStart\n", 1},
        {"at 5\n", 1},
        {"click cmdStart\nat 10 click cmdStart\n\n# later\nat 9 print x\n", 5},  // backwards
        {"click cmdStart\nat 10 print cubey\nat 20 bogus\n", 3},
        {"seed -1\n", 1},
        {"screensize 800\n", 1},
        {"expect nosuch 1\n", 1},
        {"expect x big\n", 1},
    };
    for (const auto& c : cases) {
        const SimRun run = RunScript(std::string(c.script));
        const std::string prefix = "korvane-sim: line " + std::to_string(c.line) + ": ";
        EXPECT_EQ(run.result.exitCode, 2) << c.script;
        EXPECT_EQ(run.result.error.substr(0, prefix.size()), prefix)
            << c.script << "\ngave: " << run.result.error;
        EXPECT_GT(run.result.error.size(), prefix.size()) << "the message says what is wrong";
        EXPECT_TRUE(run.result.log.empty()) << c.script;
    }
}

TEST(SimScript, MessagesEscapeUnprintableBytesAndNameTheRange) {
    EXPECT_EQ(RunScript(std::string("stars 501\n")).result.error,
              "korvane-sim: line 1: star count 501 is out of range 0 to 500");
    EXPECT_EQ(RunScript(std::string("click a\x01\\\n")).result.error,
              "korvane-sim: line 1: unknown button 'a\\x01\\x5C'");
}

TEST(SimScript, ExpectLinesCheckTheGameAndTheFirstDifferenceExitsWithThree) {
    const SimRun ok = RunScript(std::string(
        "screensize 800x600\nclick cmdStart\nat 3 click cmdStart\nexpect screenres 800x600\n"
        "expect x 0x140\n"));
    EXPECT_EQ(ok.result.exitCode, 0) << ok.result.log;
    const SimRun bad = RunScript(std::string("expect x 5\nprint x\n"));
    EXPECT_EQ(bad.result.exitCode, 3);
    EXPECT_EQ(bad.result.log, "0 text cmdSound sound: ON\n0 desync x expected 5 got 0\n");
}

TEST(SimScript, BadOptionsAreRejected) {
    const std::string path = WriteScript("ok.txt", "click cmdStart\n");
    const std::vector<std::vector<std::string>> bad = {
        {"--seed", "abc", path},
        {"--seed", "-3", path},
        {"--seed"},
        {"--screen", "800", path},
        {"--screen", "800x", path},
        {"--screen", "x600", path},
        {"--screen", "axb", path},
        {"--max-frames", "-5", path},
        {"--max-frames", "lots", path},
        {"--bogus", path},
        {},
        {path, path},
        {TempPath("no_such_script.txt")},
        {"/"},  // a folder
    };
    for (const std::vector<std::string>& args : bad) {
        const korvane::sim::SimResult r = CommandLine(args);
        std::string shown;
        for (const std::string& a : args) shown += a + " ";
        EXPECT_EQ(r.exitCode, 2) << shown;
        EXPECT_EQ(r.error.rfind("korvane-sim: ", 0), 0u) << shown << "gave: " << r.error;
        EXPECT_TRUE(r.log.empty()) << shown;
    }

    // Good options reach the run: seed, screen and frame limit.
    const korvane::sim::SimResult good =
        CommandLine({"--seed", "9", "--screen", "800x600", "--max-frames", "40", path});
    EXPECT_EQ(good.exitCode, 0) << good.error;
    RunOptions o;
    o.seed = 9;
    o.width = 800;
    o.height = 600;
    o.maxFrames = 40;
    EXPECT_EQ(good.log, RunScript(std::string("click cmdStart\n"), o).result.log);
    const Log log(good.log);
    EXPECT_EQ(log.Lines().back().frame, 40);
    EXPECT_EQ(log.Lines().back().event, "end");
    const SimRun small = [&] {
        RunOptions t;
        t.width = 799;
        return RunScript(std::string("click cmdStart\n"), t);
    }();
    EXPECT_TRUE(small.log.Has(
        "msgbox Sorry, this game was designed to run in at least 800x600 or better screen "
        "resolution.  You are running 799x768. Change your screen resolution by "
        "right-clicking on the Desktop, choose Properties, Settings."));
    std::remove(path.c_str());
}

TEST(SimScript, IdleLinesWaitForTheGameAndFrameLinesRunInTheirYield) {
    Script s;
    s.Idle("print gamerunning")
        .Idle("click cmdStart")
        .At(5, "print gamerunning")
        .At(10, "click cmdStart")
        // Frame 50 never comes: no game runs then, so the line runs as an idle line.
        .At(50, "print gamerunning")
        .Idle("print nextwinscore")
        .Idle("set zz 0xFF")
        .Idle("print zz")
        .Idle("set shieldsOn True")
        .Idle("print shieldsOn")
        .Idle("click cmdLeft")  // a disabled play button ignores the click
        .Idle("print deltax")
        .Idle("pixel -1 0")
        .Idle("pixel 641 481");
    const SimRun run = RunScript(s);
    const Log& log = run.log;
    EXPECT_EQ(log.Var("gamerunning", 0), "False") << "never set: False";
    EXPECT_EQ(log.Var("gamerunning", 5), "True");
    EXPECT_EQ(log.Vars("gamerunning").size(), 3u);
    EXPECT_EQ(log.Var("gamerunning", 10), "False");
    EXPECT_EQ(log.Var("nextwinscore", 10), "0") << "never set: 0";
    EXPECT_EQ(log.Var("zz", 10), "255");
    EXPECT_EQ(log.Var("shieldsOn", 10), "True");
    EXPECT_EQ(log.Var("deltax", 10), "0");
    EXPECT_EQ(log.Pixel(-1, 0, 10), 0xFFFFFFFFu) << "outside the viewscreen";
    EXPECT_EQ(log.Pixel(641, 481, 10), kYellow);
    EXPECT_EQ(log.Lines().back().event, "end");
    EXPECT_EQ(log.Lines().back().frame, 10);
}

TEST(SimScript, AGameLeftRunningEndsAtTheFrameLimit) {
    RunOptions o;
    o.maxFrames = 75;
    const SimRun run = RunScript(std::string("click cmdStart\nat 30 print x\n"), o);
    EXPECT_EQ(run.result.exitCode, 0);
    EXPECT_EQ(run.log.Var("x", 30), "320");
    EXPECT_EQ(run.log.Lines().back().frame, 75);
    EXPECT_EQ(run.log.Lines().back().event, "end");
    EXPECT_FALSE(run.log.Has("controls off"));
}

TEST(SimScript, TheProgramEndingStopsTheRunAtOnce) {
    const struct {
        const char* script;
        int64_t frame;
    } cases[] = {
        {"click cmdStart\nat 10 keyup 81\nat 11 print x\nprint x\n", 10},
        {"click cmdStart\nat 12 click cmdExit\nat 13 print x\n", 12},
        {"click cmdStart\nat 14 close\nat 15 print x\nprint x\n", 14},
        {"click cmdExit\nprint x\nclick cmdStart\n", 0},
        {"keyup 81\nclick cmdStart\n", 0},
    };
    for (const auto& c : cases) {
        const SimRun run = RunScript(std::string(c.script));
        EXPECT_EQ(run.result.exitCode, 0) << c.script;
        ASSERT_FALSE(run.log.Lines().empty());
        EXPECT_EQ(run.log.Lines().back().frame, c.frame) << c.script;
        EXPECT_EQ(run.log.Lines().back().event, "exit") << c.script;
        EXPECT_TRUE(run.log.Vars("x").empty()) << c.script;
        // The program ends without finishing the game: no stop, no teardown.
        EXPECT_FALSE(run.log.Has("teardown")) << c.script;
    }
}

TEST(SimScript, TheStarAnswerHoldsForEveryLaterDialogUntilReplaced) {
    Script s;
    s.Idle("stars 7").Idle("click cmdStart").At(1, "print numberofstars").At(1, "click cmdStart");
    s.Idle("click cmdStart").At(2, "print numberofstars").At(2, "click cmdStart");
    s.Idle("default-stars").Idle("click cmdStart").At(3, "print numberofstars");
    s.At(3, "click cmdStart");
    const SimRun run = RunScript(s);
    const Log& log = run.log;
    EXPECT_EQ(log.Vars("numberofstars"), (std::vector<std::string>{"7", "7", "150"}));
    // The dialog shows the count chosen before; it plays its sound only when the bar moves.
    EXPECT_TRUE(log.InOrder({"dialog frmStart", "text Text1 7", "reset"}, 1));
    EXPECT_TRUE(log.InOrder(
        {"dialog frmStart", "text Text1 7", "sound 102 1", "text Text1 150", "reset"}, 2));

    // Opening the dialog moves the bar from 0 to the count: with a count of 0 it stays
    // silent, with any other count it plays sound 102.
    Script z;
    z.Idle("stars 0").Idle("click cmdStart").At(1, "click cmdStart");
    z.Idle("click cmdStart").At(2, "click cmdStart");
    const SimRun zero = RunScript(z);
    EXPECT_TRUE(zero.log.InOrder({"dialog frmStart", "text Text1 150", "sound 102 1", "sound 102 1",
                                  "text Text1 0", "reset"}));
    std::vector<std::string> second;
    for (const std::string& e : zero.log.At(1)) {
        if (e == "dialog frmStart" || !second.empty()) second.push_back(e);
        if (e == "reset") break;
    }
    EXPECT_EQ(second, (std::vector<std::string>{"dialog frmStart", "text Text1 0", "reset"}));
}
