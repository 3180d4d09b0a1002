#include "invariants.h"

namespace korvane::soak {

namespace {
bool In(int v, int lo, int hi) {
    return v >= lo && v <= hi;
}
}  // namespace

std::string BrokenInvariant(const Game& game, bool playControlsEnabled) {
    const GameState& s = game.state();
    if (s.gamerunning != playControlsEnabled) return "play controls disagree with gamerunning";
    if (!In(s.numberofstars, 0, kMaxStars)) return "numberofstars";
    if (!In(s.hintcount, 0, 3)) return "hintcount between hints";
    if (s.y == 0) return {};  // no game has started yet: nothing else is set
    if (!In(s.x, 0, 630)) return "ship x " + std::to_string(s.x);
    if (s.y != 455) return "ship y " + std::to_string(s.y);
    if (!In(s.crossx, 3, 638)) return "crossx " + std::to_string(s.crossx);
    if (!In(s.crossy, 3, 446)) return "crossy " + std::to_string(s.crossy);
    if (!In(s.deltax, -1, 1) || !In(s.crossxdelta, -1, 1) || !In(s.crossydelta, -1, 1)) {
        return "a direction outside -1..1";
    }
    for (int i = 0; i <= s.numberofstars; ++i) {
        if (!In(s.starx[i], 0, 641) || !In(s.stary[i], 0, 481)) {
            return "star " + std::to_string(i) + " off the viewscreen";
        }
    }
    if (!In(s.starindex, 0, kMaxStars + 1)) return "starindex";
    if (!In(s.beamframes, 0, 4)) return "beamframes " + std::to_string(s.beamframes);
    if (!In(s.rechargeframes, 0, 100)) return "rechargeframes";
    if (!In(s.blast1frames, 0, 4) || !In(s.blast2frames, 0, 4) || !In(s.blast3frames, 0, 4)) {
        return "explosion marker frames";
    }
    if (!In(s.cubestep, 0, 24)) return "cubestep " + std::to_string(s.cubestep);
    if (!In(s.clockframes, 0, 499)) return "clockframes";
    if (!In(s.modesteps, 0, 9) || !In(s.holdsteps, 0, 99) || !In(s.retreatsteps, 0, 29)) {
        return "cube step counters";
    }
    if (s.cubemode != 0 && s.cubemode != -1 && s.cubemode != -2) return "cubemode";
    if (s.cubeanger < 0) return "cubeanger below 0";
    const int16_t rows[3] = {s.photon1y, s.photon2y, s.photon3y};
    const bool busy[3] = {s.photonfire1, s.photonfire2, s.photonfire3};
    for (int n = 0; n < 3; ++n) {
        if (busy[n] && !In(rows[n], -1, 448)) return "torpedo row " + std::to_string(rows[n]);
    }
    return {};
}

}  // namespace korvane::soak
