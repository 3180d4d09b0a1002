// The enemy cube: one step of at most a pixel each way every 25 frames, chasing the ship
// when calm, hovering when agitated, backing away when enraged.

#include "game.h"

namespace korvane {

void Game::CubePhase() {
    GameState& s = state_;
    ++s.cubestep;
    if (s.cubestep != 25) return;

    if (s.oddturn && s.cubeanger > 0) --s.cubeanger;
    if (s.cubey < 1) {
        // Still above the viewscreen: the cube calms down quickly.
        s.cubeanger = static_cast<int16_t>(s.cubeanger - 10);
        if (s.cubeanger < 0) s.cubeanger = 0;
    }

    if (s.cubeanger < 75) s.cubemode = 0;
    if (s.cubeanger > 74) s.cubemode = -1;
    if (s.cubeanger > 125) s.cubemode = -2;

    if (s.cubemode < 0) ++s.modesteps;
    if (s.cubemode == -1) ++s.holdsteps;
    if (s.cubemode == -2) ++s.retreatsteps;

    if (s.holdsteps == 100) {
        s.cubeanger = 10;
        s.holdsteps = 0;
    }
    if (s.retreatsteps == 30) {
        s.cubeanger = 50;
        s.retreatsteps = 0;
    }
    if (s.modesteps == 10) {
        // Every tenth agitated step is a chasing one.
        s.cubemode = 0;
        s.modesteps = 0;
    }

    // Erased where it stands, then drawn where it steps to.
    const int32_t oldx = s.cubex;
    const int32_t oldy = s.cubey;
    if (s.x < s.cubex + 50) s.cubex = s.cubex - 1 - s.cubemode;
    if (s.x > s.cubex + 50) s.cubex = s.cubex + 1 + s.cubemode;
    if (s.y > s.cubey + 100) s.cubey = s.cubey + 1 + s.cubemode;
    surface_.MoveSprite(sprites_.picVessikshiperase, oldx, oldy, sprites_.picVessikship, s.cubex,
                        s.cubey);
    s.cubestep = 0;
}

}  // namespace korvane
