#pragma once
// The comments a live game's batches carry beside the recording's lines, for the hall that
// checks their pace and for a page that watches them: `# dialog` (a dialog held the
// player's game as the batch was sent), `# batch N` (its place in the game, from 1) and
// `# frame F` (the frames the player had played). Comments to the language, so the lines
// of all the batches, one after the other, are still the game's recording.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "script.h"

namespace korvane::script {

struct BatchMarks {
    // The last frame whose lines the batch holds all of: the most its frame marks say, or
    // F - 1 for a line of frame F (written in F's yield, or just before it); -1 for none.
    int64_t reached = -1;
    bool dialog = false;
    std::optional<int64_t> number;
};

// The marks of a batch's text, whose lines the language has read as `lines`.
BatchMarks ReadBatchMarks(const std::string& text, const std::vector<ScriptLine>& lines);
// Whether a line of a batch is one of its marks.
bool IsBatchMark(std::string_view line);
// The marks' lines that end a batch, as the clients send them.
std::string WriteBatchMarks(const BatchMarks& marks);

}  // namespace korvane::script
