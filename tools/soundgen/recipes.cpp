#include "recipes.h"

namespace korvane::soundgen {

namespace {

// The rates and lengths are part of the game: the victory sequence waits out each
// explosion in full, and a hint's tune plays while its quotation is on screen.
constexpr Recipe kRecipes[] = {
    {101, 21739, 25595, "help chime", HelpChime},
    {102, 16000, 10347, "settings tick", MenuTick},
    {103, 11025, 86172, "first hint tune", HintStrength},
    {104, 11025, 95690, "second hint tune", HintRemembrance},
    {105, 22050, 20669, "phaser zap", PhaserZap},
    {106, 11025, 11437, "explosion", Explosion},
    {107, 22050, 64332, "third hint tune", HintMettle},
    {108, 22050, 43243, "game stopped", PowerDown},
    {109, 22050, 75175, "beam on the shields", ShieldBeam},
    {110, 22050, 12343, "torpedo launch", TorpedoLaunch},
    {111, 22050, 18101, "super energy weapon", SuperWeapon},
    {112, 22050, 31122, "fourth hint tune, the Vessik win", HintResistance},
    {113, 22050, 55902, "sonar ping (unused)", SonarPing},
    {114, 22050, 11725, "shield hum", ShieldHum},
    {115, 22050, 94607, "start fanfare", StartFanfare},
    {116, 22050, 30552, "antimatter globe launch", GlobeLaunch},
    {117, 11025, 32078, "victory jingle", VictoryJingle},
};

}  // namespace

std::span<const Recipe> Recipes() {
    return kRecipes;
}

}  // namespace korvane::soundgen
