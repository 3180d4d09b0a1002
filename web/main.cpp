// Korvane in the browser: the same game as the desktop program, its main window drawn by
// the page. main() hands the page the windows' descriptions and the sounds, runs the game's
// Main and then waits for the player; a game runs inside the start button's handler, as on
// the desktop.

#include <functional>
#include <map>
#include <span>
#include <string>

#include "buttons.h"
#include "commands.h"
#include "embedded_sounds.h"
#include "game.h"
#include "page.h"
#include "web_shell.h"

namespace {

using korvane::Game;
using korvane::PageEvent;

void HandSoundsToPage() {
    using korvane::sound::EmbeddedSound;
    using korvane::sound::kEmbeddedSoundCount;
    using korvane::sound::kEmbeddedSounds;
    for (const EmbeddedSound& s : std::span(kEmbeddedSounds, kEmbeddedSoundCount)) {
        korvane::page::DefineSound(s.id, s.bytes, s.size);
    }
}

// The main window's handlers by name, as the page asks for them: a button's click as
// `NAME_Click`, then the keys and the viewscreen's mouse.
std::map<std::string, std::function<void(const PageEvent&)>> MainWindowHandlers(Game& g) {
    std::map<std::string, std::function<void(const PageEvent&)>> handlers{
        {"Form_KeyUp", [&g](const PageEvent& e) { korvane::Form_KeyUp(g, e.a, e.b); }},
        {"Picture1_MouseUp",
         [&g](const PageEvent& e) { korvane::Picture1_MouseUp(g, e.a, 0, e.b, e.c); }},
    };
    for (const korvane::ButtonInfo& b : korvane::kButtons) {
        handlers[std::string(b.name) + "_Click"] = [&g, &b](const PageEvent&) {
            korvane::Click(g, b);
        };
    }
    return handlers;
}

}  // namespace

int main() {
    // Both live as long as the page: the game's loop never returns from a game's end.
    static korvane::WebShell shell;
    static Game game(shell);
    shell.AttachGame(game);
    static const auto handlers = MainWindowHandlers(game);
    shell.SetMainWindowHandler([](const PageEvent& e) {
        // A name the page sends that the window does not know is ignored.
        if (const auto it = handlers.find(e.handler); it != handlers.end()) it->second(e);
    });

    korvane::page::DefineWindows();
    HandSoundsToPage();
    korvane::page::AttachViewscreen(game.surface().Pixels().data());
    game.Main();
    korvane::page::Ready();
    for (;;) {
        shell.WaitForEvents();
        shell.DispatchPending();
    }
}
