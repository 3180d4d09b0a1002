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
            if (s.gamerunning) game.FireAtCrosshairs();
            break;
        case keycode::kSpace:
            if (s.gamerunning) game.LaunchTorpedo();
            break;
        case keycode::kLeft:
            game.SteerCrosshairs(-1, 0);
            break;
        case keycode::kUp:
            game.SteerCrosshairs(0, -1);
            break;
        case keycode::kRight:
            game.SteerCrosshairs(1, 0);
            break;
        case keycode::kDown:
            game.SteerCrosshairs(0, 1);
            break;
        case keycode::kA:
            ShowHelp(game);
            break;
        case keycode::kC:
            game.SteerShip(1);
            break;
        case keycode::kH: {
            // Unlike the button, the key records its choice in the game state.
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
            game.StopShip();
            break;
        case keycode::kZ:
            game.SteerShip(-1);
            break;
        default:
            break;
    }
}

}  // namespace korvane
