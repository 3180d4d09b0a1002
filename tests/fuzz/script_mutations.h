#pragma once
// Mangled korvane-sim scripts: valid lines cut, swapped, doubled and sprinkled with bytes.

#include <cstdint>
#include <string>

namespace korvane::fuzz {

std::string MutatedScript(uint64_t seed);

// The rule every script must meet: a clean run (exit 0), or exit 2 with one
// "korvane-sim: line L: ..." message and nothing of the run printed. Returns an empty
// string when the result meets it, otherwise what is wrong.
std::string CheckScriptOutcome(const std::string& script, int64_t maxFrames);

}  // namespace korvane::fuzz
