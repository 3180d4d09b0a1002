// Phasers: an instant cyan beam from the ship's nose to the crosshairs, a hit decided by
// reading back the cube's edges, five frames of beam and a hundred of recharge.

#include "game.h"

namespace korvane {

void Game::FirePhasers() {
    GameState& s = state_;
    PlaySoundIfOn(kSoundPhasers);
    surface_.Line(s.x + 6, s.y - 6, s.crossx, s.crossy, kCyan);
    s.beamx1 = static_cast<int16_t>(s.x + 6);
    s.beamy1 = static_cast<int16_t>(s.y - 6);
    s.beamx2 = s.crossx;
    s.beamy2 = s.crossy;
    s.phaserfiring = true;

    // Only the bottom row and the two sides of the cube's square are read: a beam that
    // leaves through the top row alone misses. All 303 reads are made.
    s.phaserhit = false;
    const auto cyan = static_cast<int32_t>(kCyan);
    for (s.flashindex = 0; s.flashindex <= 100; ++s.flashindex) {
        const int i = s.flashindex;
        s.zz = static_cast<int32_t>(surface_.GetPixel(s.cubex + i, s.cubey + 100));
        if (s.zz == cyan) s.phaserhit = true;
        s.zz = static_cast<int32_t>(surface_.GetPixel(s.cubex, s.cubey + i));
        if (s.zz == cyan) s.phaserhit = true;
        s.zz = static_cast<int32_t>(surface_.GetPixel(s.cubex + 100, s.cubey + i));
        if (s.zz == cyan) s.phaserhit = true;
    }
    if (s.phaserhit) {
        s.score += 2;
        s.cubeanger = static_cast<int16_t>(s.cubeanger + 2);
        ShowScore();
    }
    s.phaserrecharging = true;
    s.rechargeframes = 0;
}

void Game::PhaserBeamLifetime() {
    GameState& s = state_;
    if (!s.phaserfiring) return;
    ++s.beamframes;
    // Redrawn every frame at the ends stored at the shot, restoring what stars and
    // sprites painted over it.
    DrawPhaserBeam();
    if (s.beamframes == 5) {
        ErasePhaserBeam();
        s.phaserfiring = false;
        s.beamframes = 0;
    }
}

void Game::PhaserRecharge() {
    GameState& s = state_;
    if (!s.phaserrecharging) return;
    ++s.rechargeframes;
    if (s.rechargeframes == 100) s.phaserrecharging = false;
}

}  // namespace korvane
