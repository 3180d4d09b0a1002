#pragma once
// The name table: every game-state variable by its name (arrays as starx[3]), in the
// order in which the game's variables are listed, for korvane-sim's set, print and dump.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "game_state.h"

namespace korvane {

struct StateVar {
    enum class Kind { Flag, Int16, Int32, Text };
    std::string name;
    Kind kind;
    void* field;
};

std::vector<StateVar> NameTable(GameState& state);

const StateVar* FindStateVar(const std::vector<StateVar>& table, std::string_view name);

// Flags as True / False, numbers in decimal, text as it stands.
std::string FormatStateVar(const StateVar& var);

// Accepts decimal, True / False or 0x... hexadecimal (any text for a text variable).
// Returns false, changing nothing, when the value does not parse.
bool SetStateVar(const StateVar& var, std::string_view value);

}  // namespace korvane
