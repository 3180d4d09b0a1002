#include "submission.h"

#include <algorithm>
#include <set>

#include "command_table.h"
#include "script.h"
#include "scripted_shell.h"

namespace korvane::hall {

namespace {

// Before anything is read: no line longer than a recording's, nor with more commands.
std::optional<Refusal> CheckShape(const std::string& text) {
    int number = 1;
    size_t length = 0;
    int commands = 1;
    for (const char c : text) {
        if (c == '\n') {
            ++number;
            length = 0;
            commands = 1;
            continue;
        }
        if (++length > kMaxLineBytes) {
            return Refusal{"malformed", "line " + std::to_string(number) + " is longer than " +
                                            std::to_string(kMaxLineBytes) + " bytes"};
        }
        if (c == ';' && ++commands > kMaxCommandsPerLine) {
            return Refusal{"malformed", "line " + std::to_string(number) + " has more than " +
                                            std::to_string(kMaxCommandsPerLine) + " commands"};
        }
    }
    return std::nullopt;
}

// The lines themselves: only what a recording holds, one seed (the ticket's), and the
// game's nine checks at the end, after the game, as a recording writes them.
std::optional<Refusal> CheckLines(const std::vector<script::ScriptLine>& lines,
                                  std::optional<uint64_t>& seed) {
    std::set<std::string> expected;
    bool checking = false;  // past the first expect line
    bool seeded = false;
    for (const script::ScriptLine& line : lines) {
        const std::string where = "line " + std::to_string(line.lineNumber) + ": ";
        if (!script::HallRecordingMayHold(line.command)) {
            return Refusal{"malformed",
                           where + "'" + line.command + "' is not part of a recording"};
        }
        if (line.command == script::cmd::kSeed) {
            const uint64_t said = *script::ParseSeed(line.args[0]);
            if (seed && said != *seed) {
                return Refusal{"seed-mismatch", where + "the game's seed is not " +
                                                    std::to_string(*seed) + ", the ticket's"};
            }
            seed = said;
            seeded = true;
        }
        if (line.command == script::cmd::kExpect) {
            if (line.at) {
                return Refusal{"malformed", where +
                                                "an expect line checks the game after its "
                                                "end, not in a frame"};
            }
            checking = true;
            expected.insert(line.args[0]);
        } else if (checking) {
            return Refusal{"malformed", where + "only expect lines come after the game's checks"};
        }
    }
    if (!seeded) return Refusal{"malformed", "the recording has no 'seed' line"};
    for (const char* name : script::kRecordedVariables) {
        if (!expected.count(name)) {
            return Refusal{"malformed",
                           std::string("the recording has no 'expect ") + name + "' line"};
        }
    }
    return std::nullopt;
}

// The recording as the hall keeps it: each command on a line of its own, its words one
// space apart; comments and blank lines are gone.
std::string Canonical(const std::vector<script::ScriptLine>& lines) {
    std::string text;
    for (const script::ScriptLine& line : lines) {
        if (line.at) text += "at " + std::to_string(*line.at) + " ";
        text += line.command;
        if (line.command == script::cmd::kExpect) {
            text += " " + line.args[0] + " " + line.rest;  // a text value keeps its spaces
        } else {
            for (const std::string& word : line.args) text += " " + word;
        }
        text += "\n";
        if (text.size() > kMaxStoredBytes) break;
    }
    return text;
}

}  // namespace

Verified VerifyHallGame(const std::string& recording, std::optional<uint64_t> ticketSeed,
                        int64_t maxFrames) {
    if (recording.size() > kMaxRecordingBytes) {
        return Refusal("too-large", "a recording is at most 1 MiB");
    }
    if (std::optional<Refusal> r = CheckShape(recording)) return *r;
    // The CPU budget counts from here: reading the recording is part of the replay's cost.
    const double started = script::ThreadCpuSeconds();
    std::vector<script::ScriptLine> lines;
    std::optional<uint64_t> seed = ticketSeed;
    try {
        lines = script::ParseScript(recording);
    } catch (const script::ScriptError& e) {
        return Refusal("malformed", "line " + std::to_string(e.lineNumber) + ": " + e.what());
    }
    if (std::optional<Refusal> r = CheckLines(lines, seed)) return *r;
    Verified verified;
    verified.seed = *seed;
    verified.canonical = Canonical(lines);
    if (verified.canonical.size() > kMaxStoredBytes) {
        return Refusal("too-large", "a recording's commands are at most 256 KiB");
    }
    script::RunOptions options;
    options.seed = *seed;
    options.maxFrames = maxFrames;
    const double spent = script::ThreadCpuSeconds() - started;
    options.maxCpuSeconds = std::max(0.001, kMaxReplayCpuSeconds - spent);
    const script::GamesRun run = script::RunGames(std::move(lines), options);
    using Stop = script::RunResult::Stop;
    if (run.run.exitCode == 2) return Refusal("malformed", run.run.error);
    if (run.run.stop == Stop::FrameLimit || run.run.stop == Stop::CpuLimit) {
        return Refusal("too-long", "the replay stopped at its limit (" + std::to_string(maxFrames) +
                                       " frames or 2 s)" +
                                       (run.run.error.empty() ? "" : ": " + run.run.error));
    }
    if (run.run.stop == Stop::Desync) return Refusal("desync", run.run.desync);
    if (run.run.exitCode != 0) return Refusal("desync", run.run.error);
    if (run.games.size() != 1 || run.gameUnfinished) {
        return Refusal("not-one-game",
                       "a hall recording holds exactly one finished game, this one " +
                           std::to_string(run.games.size()));
    }
    if (run.games.front().score <= 0) {
        return Refusal("no-score", "a game that scored nothing is not kept");
    }
    verified.game = run.games.front();
    return verified;
}

}  // namespace korvane::hall
