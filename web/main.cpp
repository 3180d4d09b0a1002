// Korvane in the browser: the same game as the desktop program, its main window drawn by
// the page. main() hands the page the shared texts, the buttons, the game's keys and the
// sounds, runs the game's Main and then waits for the player; a game runs inside the start
// button's handler, as on the desktop.

#include <span>

#include "buttons.h"
#include "commands.h"
#include "embedded_sounds.h"
#include "game.h"
#include "page.h"
#include "texts.h"
#include "web_shell.h"

namespace {

using korvane::Game;

void HandTextsToPage() {
    namespace t = korvane::texts;
    const std::pair<const char*, const char*> kTexts[] = {
        {"kAppTitle", t::kAppTitle},
        {"kMainWindowCaption", t::kMainWindowCaption},
        {"kDialogCaption", t::kDialogCaption},
        {"kVersionDesign", t::kVersionDesign},
        {"kTitleLine", t::kTitleLine},
        {"kStory", t::kStory},
        {"kKeyboardHelp", t::kKeyboardHelp},
        {"kMouseHelp", t::kMouseHelp},
        {"kScreenNote", t::kScreenNote},
        {"kThanks", t::kThanks},
        {"kAuthor", t::kAuthor},
        {"kDisclaimer", t::kDisclaimer},
        {"kHomePage", t::kHomePage},
        {"kSysInfoCaption", t::kSysInfoCaption},
    };
    for (const auto& [name, text] : kTexts) korvane::page::DefineText(name, text);
}

void HandSoundsToPage() {
    using korvane::sound::EmbeddedSound;
    using korvane::sound::kEmbeddedSoundCount;
    using korvane::sound::kEmbeddedSounds;
    for (const EmbeddedSound& s : std::span(kEmbeddedSounds, kEmbeddedSoundCount)) {
        korvane::page::DefineSound(s.id, s.bytes, s.size);
    }
}

// The main window's buttons and the keys the game acts on, from the game's own tables:
// the page posts their commands as lines of the recording language.
void HandControlsToPage() {
    for (const korvane::ButtonInfo& b : korvane::kButtons) korvane::page::DefineButton(b);
    for (const korvane::GameKey& k : korvane::kGameKeys) korvane::page::DefineKey(k.code);
}

}  // namespace

int main() {
    // Both live as long as the page: the game's loop never returns from a game's end.
    static korvane::WebShell shell;
    static Game game(shell);
    shell.AttachGame(game);

    HandTextsToPage();
    HandControlsToPage();
    HandSoundsToPage();
    korvane::page::AttachViewscreen(game.surface().Pixels().data());
    game.Main();
    korvane::page::Ready();
    for (;;) {
        shell.WaitForEvents();
        shell.DispatchPending();
    }
}
