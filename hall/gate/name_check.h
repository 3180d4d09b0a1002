#pragma once
// A player's name checked by the one rule for names (names/name_rule.h), answered as the
// hall's refusal `bad-name`.

#include <optional>
#include <string>

#include "http/refusal.h"

namespace korvane::hall {

// Nothing for a name that may stand in the table, which normalised is then the name to
// store (Unicode NFC); otherwise why not.
std::optional<Refusal> CheckName(const std::string& name, std::string& normalised);

}  // namespace korvane::hall
