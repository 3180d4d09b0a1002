// Help and hints: the About box with its sound, and the four hints, shown in turn by the
// "Hints" button and the H key alike: one rotation, part of the game's state.

#include "game.h"

namespace korvane {

namespace {
struct Hint {
    const char* text;
    int sound;
};
const Hint kHints[4] = {
    {"'That which would destroy you, makes you strong.' -- Halvorsk", kSoundHint1},
    {"'Remember the Tessarine.' -- Velkor of Ardanis", kSoundHint2},
    {"'A warrior's mettle is only truly tested by an insurmountable foe.' -- Old Garrath "
     "proverb.",
     kSoundHint3},
    {"'Resistance is futile.' -- The Vessik", kSoundHint4},
};
}  // namespace

Task Game::ShowNextHint(bool byKey) {
    GameState& s = state_;
    ++s.hintcount;
    const int row = (s.hintcount >= 1 && s.hintcount <= 4) ? s.hintcount : 1;
    const Hint& hint = kHints[row - 1];
    if (s.hintcount >= 4) s.hintcount = 0;  // the fifth hint is the first again
    if (byKey) {
        // Unlike the button, the key keeps its choice in the game state.
        s.hinttext = hint.text;
        s.hintsound = static_cast<int16_t>(hint.sound);
    }
    PlaySoundIfOn(hint.sound);
    Dialog box = Dialog::Message(hint.text);
    co_await shell_.ShowDialog(box);
}

Task Game::ShowHelp() {
    PlaySoundIfOn(kSoundHelp);
    Dialog about("frmAbout");
    co_await shell_.ShowDialog(about);
}

}  // namespace korvane
