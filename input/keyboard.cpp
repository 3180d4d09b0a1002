// The main window's key handler: every command acts on release, once per release, and the
// modifier keys are ignored.

#include <algorithm>

#include "commands.h"
#include "game.h"

namespace korvane {

// clang-format off
const std::array<GameKey, kGameKeyCount> kGameKeys = {{
    {keycode::kCtrl,  [](Game& g) { if (g.state().gamerunning) g.FireAtCrosshairs(); }},
    {keycode::kSpace, [](Game& g) { if (g.state().gamerunning) g.LaunchTorpedo(); }},
    {keycode::kLeft,  [](Game& g) { g.SteerCrosshairs(-1, 0); }},
    {keycode::kUp,    [](Game& g) { g.SteerCrosshairs(0, -1); }},
    {keycode::kRight, [](Game& g) { g.SteerCrosshairs(1, 0); }},
    {keycode::kDown,  [](Game& g) { g.SteerCrosshairs(0, 1); }},
    {keycode::kA,     [](Game& g) { g.ShowHelp(); }},
    {keycode::kC,     [](Game& g) { g.SteerShip(1); }},
    {keycode::kH,     [](Game& g) { g.ShowNextHint(true); }},
    {keycode::kQ,     [](Game& g) { g.cmdExit_Click(); }},
    {keycode::kS,     [](Game& g) { if (g.state().gamerunning) g.ToggleShields(); }},
    {keycode::kX,     [](Game& g) { g.StopShip(); }},
    {keycode::kZ,     [](Game& g) { g.SteerShip(-1); }},
}};
// clang-format on

void Form_KeyUp(Game& game, int keyCode, int /*shift*/) {
    const auto key = std::find_if(kGameKeys.begin(), kGameKeys.end(),
                                  [keyCode](const GameKey& k) { return k.code == keyCode; });
    if (key != kGameKeys.end()) key->command(game);
}

}  // namespace korvane
