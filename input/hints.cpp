#include "hints.h"

#include "commands.h"
#include "game.h"

namespace korvane {

namespace {
const Hint kHints[4] = {
    {"'That which would destroy you, makes you strong.' -- Halvorsk", kSoundHint1},
    {"'Remember the Tessarine.' -- Velkor of Ardanis", kSoundHint2},
    {"'A warrior's mettle is only truly tested by an insurmountable foe.' -- Old Garrath "
     "proverb.",
     kSoundHint3},
    {"'Resistance is futile.' -- The Vessik", kSoundHint4},
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

void ShowNextHint(Game& game) {
    ShowHint(game, NextHint(game));
}

void ShowHelp(Game& game) {
    game.PlaySoundIfOn(kSoundHelp);
    game.shell().ShowAboutBox();
}

}  // namespace korvane
