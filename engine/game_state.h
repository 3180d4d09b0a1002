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

// Every variable of the game, by kind and name, in the game's order: the struct below and
// the name table of korvane-sim's set, print and dump (state_names.cpp) are both made from
// this one list, so that no variable lacks its name.
// clang-format off
#define KORVANE_GAME_STATE(FLAG, I16, I32, TEXT, I16_STARS, I32_STARS)                         \
    /* Program-wide; bluepen and blackpen are the viewscreen surface's pen handles. */        \
    FLAG(soundon) I16(numberofstars) I32(score) I32(gametime) I32(winscore) I32(nextwinscore)  \
    I16(highscore) I32(bluepen) I32(blackpen)                                                  \
    /* Main window, public. */                                                                 \
    I16(x) I16(y) I16(crossx) I16(crossy) I16(crossxdelta) I16(crossydelta) I16(deltax)        \
    I16(hintcount) I16(hintsound) TEXT(hinttext)                                               \
    I16(photon1x) I16(photon2x) I16(photon3x) I16(photon1y) I16(photon2y) I16(photon3y)        \
    FLAG(photonfire1) FLAG(photonfire2) FLAG(photonfire3)                                      \
    FLAG(detonated1) FLAG(detonated2) FLAG(detonated3)                                         \
    FLAG(gamerunning) FLAG(shieldsOn) FLAG(shieldsdestroyed) FLAG(vessikshootsshields)         \
    FLAG(supervessik) FLAG(antimatter) FLAG(oddturn) FLAG(shipmoved) FLAG(phaserhit)           \
    FLAG(phaserrecharging) I32(zz) TEXT(screenres) FLAG(notrealunload)                         \
    /* Main window, private. */                                                                \
    I16_STARS(starx) I16_STARS(stary) I32_STARS(starcolor) I32(starindex) I32(flashindex)      \
    I32(cubex) I32(cubey) I16(cubestep) I16(cubeanger) I16(cubemode) I32(chance)               \
    I32(globex) I32(globey) I16(targetx) I16(targety) FLAG(phaserfiring)                       \
    I16(beamx1) I16(beamy1) I16(beamx2) I16(beamy2) I16(beamframes) I16(rechargeframes)        \
    FLAG(blast1on) FLAG(blast2on) FLAG(blast3on)                                               \
    I16(blast1x) I16(blast1y) I16(blast2x) I16(blast2y) I16(blast3x) I16(blast3y)              \
    I16(blast1frames) I16(blast2frames) I16(blast3frames) I16(clockframes)                     \
    I32(screenwidth) I32(screenheight) I16(modesteps) I16(holdsteps) I16(retreatsteps)
// clang-format on

struct GameState {
#define KORVANE_FLAG(name) bool name = false;
#define KORVANE_I16(name) int16_t name = 0;
#define KORVANE_I32(name) int32_t name = 0;
#define KORVANE_TEXT(name) std::string name;
#define KORVANE_I16_STARS(name) int16_t name[kStarSlots] = {};
#define KORVANE_I32_STARS(name) int32_t name[kStarSlots] = {};
    KORVANE_GAME_STATE(KORVANE_FLAG, KORVANE_I16, KORVANE_I32, KORVANE_TEXT, KORVANE_I16_STARS,
                       KORVANE_I32_STARS)
#undef KORVANE_FLAG
#undef KORVANE_I16
#undef KORVANE_I32
#undef KORVANE_TEXT
#undef KORVANE_I16_STARS
#undef KORVANE_I32_STARS
};

}  // namespace korvane
