// Thousands of mangled scripts: each one runs cleanly or is rejected with a message naming
// its line; none crashes, hangs or prints half a run.

#include <gtest/gtest.h>

#include "script_mutations.h"
#include "sim_runner.h"

namespace korvane::fuzz {
namespace {

TEST(ScriptFuzz, MangledScriptsRunOrAreRejectedByLine) {
    int rejected = 0;
    for (uint64_t seed = 1; seed <= 4000; ++seed) {
        const std::string script = MutatedScript(seed);
        const std::string wrong = CheckScriptOutcome(script, 300);
        ASSERT_EQ(wrong, "") << "seed " << seed << ", script:\n" << script;
        rejected += sim::RunSimScript(script, {}).exitCode == 2;
    }
    // The mangling must actually reach the error paths, and leave some scripts valid.
    EXPECT_GT(rejected, 500);
    EXPECT_LT(rejected, 3900);
}

TEST(ScriptFuzz, BadLinesAreNamedByNumber) {
    const struct {
        const char* script;
        const char* message;
    } cases[] = {
        {"click cmdStart\nfly away\n", "korvane-sim: line 2: unknown command 'fly'"},
        {"\n\nclick cmdNothing\n", "korvane-sim: line 3: unknown button 'cmdNothing'"},
        {"print nosuch\n", "korvane-sim: line 1: unknown name 'nosuch'"},
        {"at 20 dump\nat 10 dump\n", "korvane-sim: line 2: frame 10 comes before frame 20"},
        {"keyup\n", "korvane-sim: line 1: missing argument to keyup"},
        {"mouseup 3 1 1\n", "korvane-sim: line 1: malformed mouse button '3'"},
        {"set cubey twelve\n", "korvane-sim: line 1: malformed value 'twelve'"},
        {"at 0 dump\n", "korvane-sim: line 1: malformed frame number '0'"},
        {"stars 501\n", "korvane-sim: line 1: malformed star count '501'"},
    };
    for (const auto& c : cases) {
        const sim::SimResult r = sim::RunSimScript(c.script, {});
        EXPECT_EQ(r.exitCode, 2) << c.script;
        EXPECT_EQ(r.error, c.message);
        EXPECT_EQ(r.log, "");
    }
    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{"--seed"},
                                               {"--seed", "x", "s"},
                                               {"--screen", "800", "s"},
                                               {"--max-frames", "-1", "s"},
                                               {"--bogus", "s"},
                                               {},
                                               {"/no/such/script"}}) {
        const sim::SimResult r = sim::RunSimCommandLine(args);
        EXPECT_EQ(r.exitCode, 2);
        EXPECT_EQ(r.error.rfind("korvane-sim: ", 0), 0u) << r.error;
    }
}

}  // namespace
}  // namespace korvane::fuzz
