// Thousands of mangled scripts: each one runs cleanly or is rejected with a message naming
// its line; none crashes, hangs or prints half a run. (The messages for each kind of bad
// line are checked with the runner's own scenarios.)

#include <gtest/gtest.h>

#include "script_mutations.h"
#include "script_run.h"

namespace korvane::fuzz {
namespace {

TEST(ScriptFuzz, MangledScriptsRunOrAreRejectedByLine) {
    int rejected = 0;
    for (uint64_t seed = 1; seed <= 4000; ++seed) {
        const std::string script = MutatedScript(seed);
        const std::string wrong = CheckScriptOutcome(script, 300);
        ASSERT_EQ(wrong, "") << "seed " << seed << ", script:\n" << script;
        script::RunOptions readOnly;  // no frame runs: only whether the script is accepted
        readOnly.maxFrames = 0;
        rejected += script::RunScript(script, readOnly).exitCode == 2;
    }
    // The mangling must actually reach the error paths, and leave some scripts valid.
    EXPECT_GT(rejected, 500);
    EXPECT_LT(rejected, 3900);
}

}  // namespace
}  // namespace korvane::fuzz
