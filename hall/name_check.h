#pragma once
// A player's name as the hall shows it: normalised, short, and visible.

#include <optional>
#include <string>

#include "submission.h"

namespace korvane::hall {

constexpr int kMaxNameCharacters = 24;
constexpr int kMaxMarksInARow = 2;  // combining marks on one letter

// Nothing for a name that may stand in the table, which normalised is then the name to
// store (Unicode NFC); otherwise why not.
std::optional<Refusal> CheckName(const std::string& name, std::string& normalised);

}  // namespace korvane::hall
