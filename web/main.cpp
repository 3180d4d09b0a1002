// Korvane in the browser: the same game as the desktop program, its main window drawn by
// the page. main() hands the page the windows' descriptions, the game's keys, the gamepad's
// table and the sounds, runs the game's Main, takes the input that came while the page
// loaded and returns; from then on the page steps the game (korvane_step) from its own
// event loop, its display frames and its timers.

#include <span>
#include <string>

#include "buttons.h"
#include "command_table.h"
#include "commands.h"
#include "embedded_sounds.h"
#include "game.h"
#include "gamepad.h"
#include "page.h"
#include "web_shell.h"

namespace {

using korvane::Game;
using korvane::script::LineText;
using korvane::script::MakeLine;

void HandSoundsToPage() {
    using korvane::sound::EmbeddedSound;
    using korvane::sound::kEmbeddedSoundCount;
    using korvane::sound::kEmbeddedSounds;
    for (const EmbeddedSound& s : std::span(kEmbeddedSounds, kEmbeddedSoundCount)) {
        korvane::page::DefineSound(s.id, s.bytes, static_cast<int>(s.size));
    }
}

// The gamepad's table, the desktop's own: the page reads the pads and posts, for each
// control released, the line of the key or button it stands for.
void HandPadToPage() {
    namespace pad = korvane::pad;
    // The standard layout's buttons come first, numbered as the browser numbers them.
    korvane::page::DefinePad(pad::kHome + 1, pad::kStickLeft, pad::kStickRight, pad::kStickUp,
                             pad::kStickDown);
    for (int c = 0; c < pad::kControlCount; ++c) {
        const auto control = static_cast<pad::Control>(c);
        const pad::PadCommand* command = pad::CommandFor(control);
        namespace cmd = korvane::script::cmd;
        const std::string line =
            !command ? ""
            : command->keyCode != 0
                ? LineText(MakeLine(cmd::kKeyUp, {std::to_string(command->keyCode)}))
                : LineText(MakeLine(cmd::kClick, {command->button}));
        korvane::page::DefinePadControl(c, line.c_str(), pad::DialogKeyFor(control));
    }
}

}  // namespace

int main() {
    // The program lives as long as the page, which steps the game after main has returned.
    korvane::Program& program = korvane::TheProgram();
    korvane::WebShell& shell = program.shell();
    Game& game = program.game();

    korvane::page::DefineWindows();
    // The keys the game acts on, from the game's own table: the page keeps their presses from
    // the browser and posts their releases as lines of the recording language.
    for (const korvane::GameKey& k : korvane::kGameKeys) korvane::page::DefineKey(k.code);
    HandPadToPage();
    HandSoundsToPage();
    korvane::page::AttachViewscreen(game.surface().Pixels().data());
    game.Main();
    korvane::page::Ready();
    shell.Step();
    return 0;
}
