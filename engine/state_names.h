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
    std::string_view name;  // held by the one table, for as long as the program runs
    Kind kind;
    void* field;
};

// Every variable of `state`, in the order in which the game's variables are listed.
std::vector<StateVar> NameTable(GameState& state);

// One variable of `state` by its name, or nothing for a name the game has not. The table
// behind it is made once, so a long recording's checks cost a lookup each.
std::optional<StateVar> FindStateVar(GameState& state, std::string_view name);

// What kind the variable called `name` is, or nothing: for reading a script, before any game.
std::optional<StateVar::Kind> StateVarKind(std::string_view name);

// Flags as True / False, numbers in decimal, text as it stands.
std::string FormatStateVar(const StateVar& var);

// Accepts decimal, True / False or 0x... hexadecimal (any text for a text variable).
// Returns false, changing nothing, when the value does not parse.
bool SetStateVar(const StateVar& var, std::string_view value);

// `value` as FormatStateVar shows a number or flag of `kind` that holds it, so that 16, 0x10
// and 0x0010 all give 16; nothing when it does not parse.
std::optional<std::string> NormaliseValue(StateVar::Kind kind, std::string_view value);

}  // namespace korvane
