#pragma once
// The gate of a score sent to the hall: its recording read once, checked line by line and
// replayed with the engine, within a budget of CPU time that counts the reading too. The
// server and `korvane-hall verify` both pass a recording through here, so they refuse the
// same recordings for the same reasons. The ticket's checks are the server's.

#include <cstdint>
#include <optional>
#include <string>

#include "game_results.h"
#include "http/refusal.h"

namespace korvane::hall {

// Limits of a submission and its replay.
constexpr size_t kMaxRecordingBytes = 1 << 20;  // as sent
constexpr size_t kMaxStoredBytes = 256 * 1024;  // as stored: its lines without comments
constexpr size_t kMaxLineBytes = 256;           // a recorded line is a few dozen
constexpr int kMaxCommandsPerLine = 8;
constexpr int64_t kMaxReplayFrames = 2'000'000;
constexpr double kMaxReplayCpuSeconds = 2.0;

struct Verified {
    std::optional<script::GameResult> game;
    Refusal refusal;
    uint64_t seed = 0;      // the game's
    std::string canonical;  // the recording as stored: one command a line, no comments

    Verified() = default;
    Verified(Refusal why) : refusal(std::move(why)) {}  // a recording refused
};

// Replays one game's recording, as from a fresh program. With ticketSeed, every `seed` line
// must say it; without (a local check), the recording's own seed line is taken.
Verified VerifyHallGame(const std::string& recording, std::optional<uint64_t> ticketSeed,
                        int64_t maxFrames = kMaxReplayFrames);

}  // namespace korvane::hall
