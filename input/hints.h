#pragma once
// The four hints, shown in turn by the "Hints" button and the H key alike.

#include <string>

namespace korvane {

class Game;

struct Hint {
    std::string text;
    int sound = 0;
};

// Advances the shared rotation and returns the hint to show.
Hint NextHint(Game& game);
// Plays the hint's sound (with sound on) and shows it in a message box; returns when the
// player has closed it.
void ShowHint(Game& game, const Hint& hint);

}  // namespace korvane
