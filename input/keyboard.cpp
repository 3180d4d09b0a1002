// The main window's key handler: every command acts on release, once per release, and the
// modifier keys are ignored.

#include <algorithm>

#include "commands.h"
#include "game.h"

namespace korvane {

// clang-format off
const std::array<GameKey, kGameKeyCount> kGameKeys = {{
    {keycode::kCtrl,  [](Game& g) { if (g.state().gamerunning) g.FireAtCrosshairs(); return Task(); }},
    {keycode::kSpace, [](Game& g) { if (g.state().gamerunning) g.LaunchTorpedo(); return Task(); }},
    {keycode::kLeft,  [](Game& g) { g.SteerCrosshairs(-1, 0); return Task(); }},
    {keycode::kUp,    [](Game& g) { g.SteerCrosshairs(0, -1); return Task(); }},
    {keycode::kRight, [](Game& g) { g.SteerCrosshairs(1, 0); return Task(); }},
    {keycode::kDown,  [](Game& g) { g.SteerCrosshairs(0, 1); return Task(); }},
    {keycode::kA,     [](Game& g) { return g.ShowHelp(); }},
    {keycode::kC,     [](Game& g) { g.SteerShip(1); return Task(); }},
    {keycode::kH,     [](Game& g) { return g.ShowNextHint(true); }},
    {keycode::kQ,     [](Game& g) { return g.cmdExit_Click(); }},
    {keycode::kS,     [](Game& g) { if (g.state().gamerunning) g.ToggleShields(); return Task(); }},
    {keycode::kX,     [](Game& g) { g.StopShip(); return Task(); }},
    {keycode::kZ,     [](Game& g) { g.SteerShip(-1); return Task(); }},
}};
// clang-format on

Task Form_KeyUp(Game& game, int keyCode) {
    const auto key = std::find_if(kGameKeys.begin(), kGameKeys.end(),
                                  [keyCode](const GameKey& k) { return k.code == keyCode; });
    if (key == kGameKeys.end()) return Task();
    return key->command(game);
}

}  // namespace korvane
