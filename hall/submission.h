#pragma once
// A score sent to the hall, checked: its name, and its recording replayed with the engine.
// The checks that need no database are here; the ticket's are the server's.

#include <cstdint>
#include <optional>
#include <string>

#include "game_results.h"

namespace korvane::hall {

// Limits of a submission's replay.
constexpr size_t kMaxRecordingBytes = 1 << 20;
constexpr int64_t kMaxReplayFrames = 2'000'000;
constexpr double kMaxReplayCpuSeconds = 2.0;

// A refusal: the code a program reads and a one-line message a person reads.
struct Refusal {
    std::string code;
    std::string message;
};

// Nothing for a name of 1 to 24 printable characters (UTF-8, no control characters, not
// only spaces).
std::optional<Refusal> CheckName(const std::string& name);

// Replays one game's recording, as from a fresh program, seeded with seed (every `seed` line
// must say the same). The verified game, or why it is refused.
struct Verified {
    std::optional<script::GameResult> game;
    Refusal refusal;
};
Verified VerifyHallGame(const std::string& recording, uint64_t seed,
                        int64_t maxFrames = kMaxReplayFrames);

}  // namespace korvane::hall
