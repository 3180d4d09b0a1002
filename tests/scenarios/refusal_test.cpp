// What korvane-sim refuses: a bad script is refused whole with its line and what is wrong,
// and runs nothing; bad options are refused before any script is read.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <set>

#include "command_table.h"
#include "sim_command_line.h"

namespace fs = std::filesystem;

namespace {

korvane::script::RunResult RunSim(const std::string& script, std::vector<std::string> args = {}) {
    const fs::path file =
        fs::temp_directory_path() / ("korvane_refusal_" + std::to_string(getpid()) + ".kvs");
    std::ofstream(file, std::ios::binary) << script;
    args.push_back(file.string());
    korvane::script::RunResult r = korvane::sim::RunSimCommandLine(args);
    fs::remove(file);
    return r;
}

const std::string sizes = "expected WxH, each at most 100000";

TEST(Refusal, ABadScriptIsRefusedWithItsLineAndRunsNothing) {
    const std::string ranges = "expected FIRST..LAST or FIRST..LAST/STEP";
    const std::pair<std::string, std::string> cases[] = {
        {"click cmdStart\nfrobnicate\n", "line 2: unknown command 'frobnicate'"},
        {"# a comment\n\nclick cmdNothing\n", "line 3: unknown button 'cmdNothing'"},
        {"set nosuchvariable 5\n", "line 1: unknown name 'nosuchvariable'"},
        {"click cmdStart\nat 5 print starx[501]\n", "line 2: unknown name 'starx[501]'"},
        {"keyup space\n", "line 1: malformed key code 'space'"},
        {"set cubey twelve\n", "line 1: malformed value 'twelve'"},
        {"pixel 10 y\n", "line 1: malformed y 'y'"},
        {"mouseup 1 10\n", "line 1: missing argument to mouseup"},
        {"stars many\n", "line 1: malformed star count 'many'"},
        {"stars 501\n", "line 1: star count 501 is out of range 0 to 500"},
        {"click cmdStart cmdExit\n", "line 1: too many arguments to click"},
        {"at\n", "line 1: missing frame number after 'at'"},
        {"at ten click cmdStart\n", "line 1: malformed frame number 'ten'"},
        {"at 5\n", "line 1: missing command after 'at'"},
        {"at 5..2 dump\n", "line 1: malformed frame range '5..2', " + ranges},
        {"at 1..9/0 dump\n", "line 1: malformed frame range '1..9/0', " + ranges},
        {"at 1..1000000 dump; dump\n", "line 1: frame ranges give more than 100000 lines"},
        {"at 5 click cmdStart;\n", "line 1: missing command"},
        {"click cmdStart\nat 10 click cmdStart\n\n# later\nat 9 print x\n",
         "line 5: frame 9 comes before frame 10"},
        {"click cmdStart\nat 10..50/10 print x\nclick cmdStart\nat 20 print x\n",
         "line 4: frame 20 comes before frame 50"},
        {"seed -1\n", "line 1: malformed seed '-1'"},
        {"screensize 800\n", "line 1: malformed screen size '800', " + sizes},
        {"mouseup 3 10 10\n", "line 1: mouse button 3 is not 1, 2 or 4"},
        {"click a\x01\\\\\n", "line 1: unknown button 'a\\x01\\x5C\\x5C'"},
        {"logged 5\n", "line 1: missing argument to logged"},
        {"logged 5 2\n", "line 1: missing event to logged"},
        {"set cubex \n", "line 1: missing argument to set"},
        {"set cubex 12a\n", "line 1: malformed value '12a'"},
        {"set cubex --3\n", "line 1: malformed value '--3'"},
        {"set cubex 1.5\n", "line 1: malformed value '1.5'"},
        {"logged 9..5 sound\n", "line 1: malformed frames '9..5', expected F or FIRST..LAST"},
    };
    for (const auto& [script, error] : cases) {
        const korvane::script::RunResult r = RunSim(script);
        EXPECT_EQ(r.exitCode, 2) << script;
        EXPECT_EQ(r.error, "korvane-sim: " + error) << script;
        EXPECT_EQ(r.log, "") << script;
    }
}

TEST(Refusal, BadOptionsAreRefusedAndTheFrameLimitEndsARun) {
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"--seed", "abc"}, "bad --seed value"},
        {{"--seed"}, "bad --seed value"},
        {{"--screen", "800"}, "bad --screen value, " + sizes},
        {{"--screen", "800x"}, "bad --screen value, " + sizes},
        {{"--max-frames", "-5"}, "bad --max-frames value"},
        {{"--bogus"},
         "unknown option '--bogus'\nusage: korvane-sim [--seed N] [--screen WxH] "
         "[--max-frames N] [--record FILE] SCRIPT"},
        {{"--record", ""}, "--record needs a file name"},
        {{"no_such_script.kvs"}, "only one script may be given"},
    };
    for (const auto& [args, error] : cases) {
        const korvane::script::RunResult r = RunSim("click cmdStart\n", args);
        EXPECT_EQ(r.exitCode, 2) << args[0];
        EXPECT_EQ(r.error, "korvane-sim: " + error) << args[0];
    }
    // A game left running stops at the limit, whatever the options around it.
    const korvane::script::RunResult r =
        RunSim("click cmdStart\nat 30 expect x 320\n",
               {"--seed", "9", "--screen", "800x600", "--max-frames", "40"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.log.substr(r.log.size() - 7), "40 end\n");
    // A check the limit keeps from running fails the run: it was never passed.
    const korvane::script::RunResult unread =
        RunSim("click cmdStart\nat 30 expect x 320\nat 60 expect x 320\n", {"--max-frames", "40"});
    EXPECT_EQ(unread.exitCode, 3);
    EXPECT_EQ(unread.error,
              "korvane-sim: line 3: expect never reached: the run stopped at its "
              "frame limit (40 frames) in frame 40");
}

TEST(RunEnd, TheFirstDifferenceExitsWithThreeAndSaysWhatWasExpectedAndWhatCame) {
    const std::pair<const char*, const char*> cases[] = {
        {"expect x 5\nprint x\n", "0 text cmdSound sound: ON\n0 desync x expected 5 got 0\n"},
        {"click cmdStart\nat 10 click cmdPhaser\nat 12 logged 10..11 2 sound 105\n",
         "\n12 desync logged 10..11 2 sound 105 expected 2 got 1, the frames held: 10 sound 105 "
         "1\n"},
        // An exact count is exact: an event that came once fails a check for never.
        {"logged 0 0 text cmdSound\n",
         "\n0 desync logged 0 0 text cmdSound expected 0 got 1, the frames held: 0 text cmdSound "
         "sound: ON\n"},
        {"click cmdStart\nat 5 logged 1..4 dialog frmUWin\n",
         "\n5 desync logged 1..4 dialog frmUWin expected at least 1 got 0, the frames held: "
         "nothing\n"},
    };
    for (const auto& [script, end] : cases) {
        const korvane::script::RunResult r = RunSim(script);
        EXPECT_EQ(r.exitCode, 3) << script;
        EXPECT_TRUE(r.log.ends_with(end)) << r.log;  // a desync is the run's last line
    }
}

TEST(RunEnd, TheProgramEndingStopsTheRunAtOnce) {
    const std::pair<const char*, const char*> cases[] = {
        {"click cmdStart\nat 10 keyup 81\nat 11 print x\nprint x\n", "10 exit\n"},
        {"click cmdStart\nat 12 click cmdExit\nat 13 print x\n", "12 exit\n"},
        {"click cmdStart\nat 14 close\nat 15 print x\nprint x\n", "14 exit\n"},
        {"click cmdExit\nprint x\nclick cmdStart\n", "0 text cmdSound sound: ON\n0 exit\n"},
        {"keyup 81\nclick cmdStart\n", "0 text cmdSound sound: ON\n0 exit\n"},
    };
    for (const auto& [script, end] : cases) {
        const korvane::script::RunResult r = RunSim(script);
        EXPECT_EQ(r.exitCode, 0) << script;
        EXPECT_EQ(r.log.find(" var "), std::string::npos) << script;
        EXPECT_EQ(r.log.substr(r.log.size() - std::string(end).size()), end) << script;
    }
}

// The docs' table of commands names every command of the language's table, and no other.
TEST(Commands, TheDocsTableIsTheCommandTable) {
    std::ifstream docs(KORVANE_SOURCE_DIR "/docs/korvane-sim.md");
    std::set<std::string> documented, table;
    bool inTable = false;
    for (std::string line; std::getline(docs, line);) {
        if (line.starts_with("#")) inTable = line == "## Commands";
        if (!inTable || !line.starts_with("| `")) continue;
        const std::string cell = line.substr(0, line.find(" |", 1));
        for (size_t at = cell.find('`'); at != std::string::npos; at = cell.find('`', at + 1)) {
            const size_t end = cell.find('`', at + 1);
            documented.insert(cell.substr(at + 1, cell.find_first_of(" `", at + 1) - at - 1));
            at = end;
        }
    }
    for (const korvane::script::Command& c : korvane::script::kCommands) table.insert(c.name);
    EXPECT_EQ(documented, table);
}

}  // namespace
