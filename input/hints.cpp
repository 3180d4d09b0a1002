#include "hints.h"

#include "commands.h"
#include "game.h"

namespace korvane {

namespace {
const Hint kHints[4] = {
    {"'That which would destroy you, makes you strong.' -- Halvorsk", 103},
    {"'Remember the Tessarine.' -- Velkor of Ardanis", 104},
    {"'A warrior's mettle is only truly tested by an insurmountable foe.' -- Old Garrath "
     "proverb.",
     107},
    {"'Resistance is futile.' -- The Vessik", 112},
};
}  // namespace

Hint NextHint(Game& game) {
    GameState& s = game.state();
    ++s.hintcount;
    const int row = (s.hintcount >= 1 && s.hintcount <= 4) ? s.hintcount : 1;
    const Hint hint = kHints[row - 1];
    if (s.hintcount >= 4) s.hintcount = 0;  // the fifth hint is the first again
    return hint;
}

void ShowHint(Game& game, const Hint& hint) {
    game.PlaySoundIfOn(hint.sound);
    game.shell().ShowMessageBox(hint.text);
}

void cmdHint_Click(Game& game) {
    // The button keeps its choice to itself; only the key records it in the game state.
    const Hint hint = NextHint(game);
    ShowHint(game, hint);
    game.shell().FocusViewscreen();
}

void cmdHelp_Click(Game& game) {
    game.PlaySoundIfOn(101);
    game.shell().FocusViewscreen();
    game.shell().ShowAboutBox();
}

}  // namespace korvane
