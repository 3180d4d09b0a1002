#include "submission.h"

#include <QList>
#include <QString>
#include <set>

#include "command_table.h"
#include "script.h"

namespace korvane::hall {

namespace {

Verified Refuse(const std::string& code, const std::string& message) {
    return {std::nullopt, {code, message}};
}

// The lines themselves: only what a recording holds, the ticket's seed, the game's checks.
std::optional<Refusal> CheckLines(const std::vector<script::ScriptLine>& lines, uint64_t seed) {
    std::set<std::string> expected;
    for (const script::ScriptLine& line : lines) {
        const std::string where = "line " + std::to_string(line.lineNumber) + ": ";
        // What `korvane --record` writes; anything else (set, screen, print ...) could change
        // the game or the server's files and has no place in a player's game.
        if (!script::HallRecordingMayHold(line.command)) {
            return Refusal{"malformed",
                           where + "'" + line.command + "' is not part of a recording"};
        }
        if (line.command == script::cmd::kSeed && script::ParseSeed(line.args[0]) != seed) {
            return Refusal{"seed-mismatch", where + "the game's seed is not the ticket's (" +
                                                std::to_string(seed) + ")"};
        }
        if (line.command == script::cmd::kExpect) expected.insert(line.args[0]);
    }
    for (const char* name : script::kRecordedVariables) {
        if (!expected.count(name)) {
            return Refusal{"malformed",
                           std::string("the recording has no 'expect ") + name + "' line"};
        }
    }
    return std::nullopt;
}

}  // namespace

std::optional<Refusal> CheckName(const std::string& name) {
    const QString text = QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
    if (text.toUtf8().toStdString() != name)
        return Refusal{"bad-name", "the name is not UTF-8 text"};
    const qsizetype length = text.toUcs4().size();
    if (length < 1 || length > 24) {
        return Refusal{"bad-name",
                       "a name has 1 to 24 characters, this one " + std::to_string(length)};
    }
    for (const char32_t c : text.toUcs4()) {
        if (!QChar::isPrint(c))
            return Refusal{"bad-name", "a name holds only printable characters"};
    }
    if (text.trimmed().isEmpty()) return Refusal{"bad-name", "a name is more than spaces"};
    return std::nullopt;
}

Verified VerifyHallGame(const std::string& recording, uint64_t seed, int64_t maxFrames) {
    if (recording.size() > kMaxRecordingBytes) {
        return Refuse("too-large", "a recording is at most 1 MiB");
    }
    try {
        if (std::optional<Refusal> r = CheckLines(script::ParseScript(recording), seed)) {
            return {std::nullopt, *r};
        }
    } catch (const script::ScriptError& e) {
        return Refuse("malformed", "line " + std::to_string(e.lineNumber) + ": " + e.what());
    }
    script::RunOptions options;
    options.seed = seed;
    options.maxFrames = maxFrames;
    options.maxCpuSeconds = kMaxReplayCpuSeconds;
    const script::GamesRun run = script::RunGames(recording, options);
    using Stop = script::RunResult::Stop;
    if (run.run.exitCode == 2) return Refuse("malformed", run.run.error);
    if (run.run.stop == Stop::FrameLimit || run.run.stop == Stop::CpuLimit) {
        return Refuse("too-long", "the replay stopped at its limit (" + std::to_string(maxFrames) +
                                      " frames or 2 s)" +
                                      (run.run.error.empty() ? "" : ": " + run.run.error));
    }
    if (run.run.stop == Stop::Desync) return Refuse("desync", run.run.desync);
    if (run.run.exitCode != 0) return Refuse("desync", run.run.error);
    if (run.games.size() != 1 || run.gameUnfinished) {
        return Refuse("not-one-game",
                      "a hall recording holds exactly one finished game, this one " +
                          std::to_string(run.games.size()));
    }
    return {run.games.front(), {}};
}

}  // namespace korvane::hall
