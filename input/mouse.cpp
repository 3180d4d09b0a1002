// Mouse over the viewscreen: left sends the crosshairs to the pointer, right fires the
// phasers where the crosshairs stand, middle launches a torpedo. Only during a game.

#include <algorithm>
#include <cmath>

#include "commands.h"
#include "game.h"

namespace korvane {

namespace {
int16_t ToPixel(double v) {
    return static_cast<int16_t>(std::clamp(std::lround(v), -32768L, 32767L));
}
}  // namespace

void Picture1_MouseUp(Game& game, int button, int /*shift*/, double px, double py) {
    GameState& s = game.state();
    if (button == 1 && s.gamerunning) {
        s.targetx = ToPixel(px);
        s.targety = ToPixel(py);
    }
    if (button == 2 && s.gamerunning && !s.phaserrecharging) game.FirePhasers();
    if (button == 4 && s.gamerunning) game.LaunchTorpedo();
}

}  // namespace korvane
