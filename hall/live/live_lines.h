#pragma once
// A live game's batch as the hall reads it: every line one that a recording may hold, the
// seed the ticket's, no line longer than a recording's; the marks that place it (its number,
// the frame it was sent in, a dialog holding the game); and the text the hall keeps and
// passes on, without the client's other comments.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "http/refusal.h"
#include "live_marks.h"
#include "script.h"

namespace korvane::hall {

struct LiveLines {
    std::vector<script::ScriptLine> lines;
    // The batch as the hall keeps and passes it on: its recording's lines and its marks,
    // without any other comment.
    std::string text;
    // A dialog that the replay cannot meet yet (the victory's, whose choice is written as it
    // closes) holds the game in a frame the hall cannot run yet: `# dialog` says so. The
    // batch's number puts it in its place whichever batch reaches the hall first; one
    // without a number waits a moment for any sent before it instead.
    script::BatchMarks marks;
};

// The batch, or nothing with the refusal that ends the game.
std::optional<LiveLines> ReadLiveLines(const std::string& text, uint64_t seed, Refusal& refusal);

}  // namespace korvane::hall
