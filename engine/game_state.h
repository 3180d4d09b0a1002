#pragma once
// Every variable of the game, program-wide and window-level, in one plain struct.
// The window-level ones live here rather than in the window so that they survive the
// window reset at every game start. Names are the game's own; a variable that the game
// has never set reads as zero, False or empty.

#include <cstdint>
#include <string>

namespace korvane {

// The star counts the settings scroll bar offers, and the one it restores.
constexpr int16_t kMinStars = 0;
constexpr int16_t kMaxStars = 500;
constexpr int16_t kDefaultStars = 150;
constexpr int kStarSlots = kMaxStars + 1;

struct GameState {
    // Program-wide.
    bool soundon = false;
    int16_t numberofstars = 0;
    int32_t score = 0;
    int32_t gametime = 0;
    int32_t winscore = 0;
    int32_t nextwinscore = 0;
    int16_t highscore = 0;
    int32_t bluepen = 0;  // pen handles of the viewscreen surface
    int32_t blackpen = 0;

    // Main window, public.
    int16_t x = 0;
    int16_t y = 0;
    int16_t crossx = 0;
    int16_t crossy = 0;
    int16_t crossxdelta = 0;
    int16_t crossydelta = 0;
    int16_t deltax = 0;
    int16_t hintcount = 0;
    int16_t hintsound = 0;
    std::string hinttext;
    int16_t photon1x = 0, photon2x = 0, photon3x = 0;
    int16_t photon1y = 0, photon2y = 0, photon3y = 0;
    bool photonfire1 = false, photonfire2 = false, photonfire3 = false;
    bool detonated1 = false, detonated2 = false, detonated3 = false;
    bool gamerunning = false;
    bool shieldsOn = false;
    bool shieldsdestroyed = false;
    bool vessikshootsshields = false;
    bool supervessik = false;
    bool antimatter = false;
    bool oddturn = false;
    bool shipmoved = false;
    bool phaserhit = false;
    bool phaserrecharging = false;
    int32_t zz = 0;
    std::string screenres;
    bool notrealunload = false;

    // Main window, private.
    int16_t starx[kStarSlots] = {};
    int16_t stary[kStarSlots] = {};
    int32_t starcolor[kStarSlots] = {};
    int32_t starindex = 0;
    int32_t flashindex = 0;
    int32_t cubex = 0;
    int32_t cubey = 0;
    int16_t cubestep = 0;
    int16_t cubeanger = 0;
    int16_t cubemode = 0;
    int32_t chance = 0;
    int32_t globex = 0;
    int32_t globey = 0;
    int16_t targetx = 0;
    int16_t targety = 0;
    bool phaserfiring = false;
    int16_t beamx1 = 0, beamy1 = 0, beamx2 = 0, beamy2 = 0;
    int16_t beamframes = 0;
    int16_t rechargeframes = 0;
    bool blast1on = false, blast2on = false, blast3on = false;
    int16_t blast1x = 0, blast1y = 0, blast2x = 0, blast2y = 0, blast3x = 0, blast3y = 0;
    int16_t blast1frames = 0, blast2frames = 0, blast3frames = 0;
    int16_t clockframes = 0;
    int32_t screenwidth = 0;
    int32_t screenheight = 0;
    int16_t modesteps = 0;
    int16_t holdsteps = 0;
    int16_t retreatsteps = 0;
};

}  // namespace korvane
