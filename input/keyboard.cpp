// The main window's key handler: every command acts on release, once per release, and the
// modifier keys are ignored.

#include "commands.h"
#include "game.h"
#include "hints.h"

namespace korvane {

void Form_KeyUp(Game& game, int keyCode, int /*shift*/) {
    GameState& s = game.state();
    switch (keyCode) {
        case keycode::kCtrl:
            if (s.gamerunning && !s.phaserrecharging) game.FirePhasers();
            break;
        case keycode::kSpace:
            if (s.gamerunning) game.LaunchTorpedo();
            break;
        case keycode::kLeft:
            Game::Steer(s.crossxdelta, -1);
            game.ApplyTargetRule();
            break;
        case keycode::kUp:
            Game::Steer(s.crossydelta, -1);
            game.ApplyTargetRule();
            break;
        case keycode::kRight:
            Game::Steer(s.crossxdelta, 1);
            game.ApplyTargetRule();
            break;
        case keycode::kDown:
            Game::Steer(s.crossydelta, 1);
            game.ApplyTargetRule();
            break;
        case keycode::kA:
            game.PlaySoundIfOn(101);
            game.shell().ShowAboutBox();
            break;
        case keycode::kC:
            Game::Steer(s.deltax, 1);
            break;
        case keycode::kH: {
            const Hint hint = NextHint(game);
            s.hinttext = hint.text;
            s.hintsound = static_cast<int16_t>(hint.sound);
            ShowHint(game, hint);
            break;
        }
        case keycode::kQ:
            game.cmdExit_Click();
            break;
        case keycode::kS:
            if (s.gamerunning) game.ToggleShields();
            break;
        case keycode::kX:
            s.deltax = 0;
            break;
        case keycode::kZ:
            Game::Steer(s.deltax, -1);
            break;
        default:
            break;
    }
}

}  // namespace korvane
