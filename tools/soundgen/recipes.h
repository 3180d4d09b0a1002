#pragma once
// The game's seventeen sound effects: for each, the format it is stored in and the
// function that synthesizes it.

#include <cstdint>
#include <span>

#include "synth.h"

namespace korvane::soundgen {

struct Recipe {
    int id;                // resource id the game plays it by
    uint32_t sampleRate;   // Hz
    uint32_t sampleCount;  // bytes of 8-bit mono data
    const char* name;      // what the player hears it for
    void (*make)(Track& track);
};

// All seventeen, in id order.
std::span<const Recipe> Recipes();

// Effects (effects.cpp).
void HelpChime(Track& track);      // 101
void MenuTick(Track& track);       // 102
void PhaserZap(Track& track);      // 105
void Explosion(Track& track);      // 106
void PowerDown(Track& track);      // 108
void ShieldBeam(Track& track);     // 109
void TorpedoLaunch(Track& track);  // 110
void SuperWeapon(Track& track);    // 111
void SonarPing(Track& track);      // 113
void ShieldHum(Track& track);      // 114
void GlobeLaunch(Track& track);    // 116

// Music (music.cpp).
void HintStrength(Track& track);     // 103
void HintRemembrance(Track& track);  // 104
void HintMettle(Track& track);       // 107
void HintResistance(Track& track);   // 112
void StartFanfare(Track& track);     // 115
void VictoryJingle(Track& track);    // 117

}  // namespace korvane::soundgen
