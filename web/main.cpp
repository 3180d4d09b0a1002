// Korvane in the browser: the same game as the desktop program, its main window drawn by
// the page. main() hands the page the windows' descriptions, the game's keys and the sounds,
// runs the game's Main and then waits for the player; a game runs inside the start button's
// handler, as on the desktop.

#include <span>

#include "buttons.h"
#include "commands.h"
#include "embedded_sounds.h"
#include "game.h"
#include "page.h"
#include "web_shell.h"

namespace {

using korvane::Game;

void HandSoundsToPage() {
    using korvane::sound::EmbeddedSound;
    using korvane::sound::kEmbeddedSoundCount;
    using korvane::sound::kEmbeddedSounds;
    for (const EmbeddedSound& s : std::span(kEmbeddedSounds, kEmbeddedSoundCount)) {
        korvane::page::DefineSound(s.id, s.bytes, s.size);
    }
}

// The keys the game acts on, from the game's own table: the page keeps their presses from
// the browser and posts their releases as lines of the recording language.
void HandKeysToPage() {
    for (const korvane::GameKey& k : korvane::kGameKeys) korvane::page::DefineKey(k.code);
}

}  // namespace

int main() {
    // Both live as long as the page: the game's loop never returns from a game's end.
    static korvane::WebShell shell;
    static Game game(shell);
    shell.AttachGame(game);

    korvane::page::DefineWindows();
    HandKeysToPage();
    HandSoundsToPage();
    korvane::page::AttachViewscreen(game.surface().Pixels().data());
    game.Main();
    korvane::page::Ready();
    for (;;) {
        shell.WaitForEvents();
        shell.DispatchPending();
    }
}
