#pragma once
// What must hold of the game state between any two frames, whatever the player did.

#include <string>

#include "game.h"

namespace korvane::soak {

// Empty when everything holds, otherwise the first broken rule.
std::string BrokenInvariant(const Game& game, bool playControlsEnabled);

}  // namespace korvane::soak
