#pragma once
// The script lines that act on the game alone (keys, the mouse, set, print, dump, pixel):
// korvane-sim and a replay in the window run them the same way.

#include <functional>
#include <string>

#include "game.h"
#include "script.h"

namespace korvane::script {

// Runs the line if it is one of those and returns true; false for any other command.
// What it prints (`var NAME VALUE`, `pixel X Y 0x00BBGGRR`) goes to `print`.
bool RunGameLine(Game& game, const ScriptLine& line,
                 const std::function<void(const std::string&)>& print);

}  // namespace korvane::script
