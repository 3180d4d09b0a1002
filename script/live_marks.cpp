#include "live_marks.h"

#include <algorithm>
#include <string_view>

namespace korvane::script {

namespace {

constexpr std::string_view kDialog = "# dialog";
constexpr std::string_view kBatch = "# batch ";
constexpr std::string_view kFrame = "# frame ";

// The whole number after `mark` when the line is that mark and up to 16 digits, or nothing.
std::optional<int64_t> MarkedNumber(std::string_view line, std::string_view mark) {
    if (line.substr(0, mark.size()) != mark || line.size() == mark.size() ||
        line.size() > mark.size() + 16) {
        return std::nullopt;
    }
    int64_t n = 0;
    for (const char c : line.substr(mark.size())) {
        if (c < '0' || c > '9') return std::nullopt;
        n = n * 10 + (c - '0');
    }
    return n;
}

}  // namespace

BatchMarks ReadBatchMarks(const std::string& text, const std::vector<ScriptLine>& lines) {
    BatchMarks marks;
    for (size_t at = 0; at < text.size();) {
        const size_t end = std::min(text.find('\n', at), text.size());
        const std::string_view line = std::string_view(text).substr(at, end - at);
        at = end + 1;
        if (const std::optional<int64_t> frame = MarkedNumber(line, kFrame))
            marks.reached = std::max(marks.reached, *frame);
        if (const std::optional<int64_t> number = MarkedNumber(line, kBatch)) marks.number = number;
        marks.dialog = marks.dialog || line == kDialog;
    }
    for (const ScriptLine& line : lines) {
        if (line.at) marks.reached = std::max(marks.reached, *line.at - 1);
    }
    return marks;
}

bool IsBatchMark(std::string_view line) {
    return line == kDialog || MarkedNumber(line, kBatch) || MarkedNumber(line, kFrame);
}

std::string WriteBatchMarks(const BatchMarks& marks) {
    std::string text;
    if (marks.dialog) text += std::string(kDialog) + "\n";
    if (marks.number) text += std::string(kBatch) + std::to_string(*marks.number) + "\n";
    return text + std::string(kFrame) + std::to_string(std::max<int64_t>(0, marks.reached)) + "\n";
}

}  // namespace korvane::script
