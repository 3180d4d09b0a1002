#include "recipes.h"

#include "sound_ids.h"

namespace korvane::soundgen {

namespace {

// The rates and lengths are part of the game: the victory sequence waits out each
// explosion in full, and a hint's tune plays while its quotation is on screen.
constexpr Recipe kRecipes[] = {
    {kSoundHelp, 21739, 25595, "help chime", HelpChime},
    {kSoundStarCount, 16000, 10347, "settings tick", MenuTick},
    {kSoundHint1, 11025, 86172, "first hint tune", HintStrength},
    {kSoundHint2, 11025, 95690, "second hint tune", HintRemembrance},
    {kSoundPhasers, 22050, 20669, "phaser zap", PhaserZap},
    {kSoundExplosion, 11025, 11437, "explosion", Explosion},
    {kSoundHint3, 22050, 64332, "third hint tune", HintMettle},
    {kSoundGameStopped, 22050, 43243, "game stopped", PowerDown},
    {kSoundShieldShot, 22050, 75175, "beam on the shields", ShieldBeam},
    {kSoundTorpedoLaunch, 22050, 12343, "torpedo launch", TorpedoLaunch},
    {kSoundSuperWeapon, 22050, 18101, "super energy weapon", SuperWeapon},
    {kSoundHint4, 22050, 31122, "fourth hint tune, the Vessik win", HintResistance},
    {kSoundUnused, 22050, 55902, "sonar ping (unused)", SonarPing},
    {kSoundShields, 22050, 11725, "shield hum", ShieldHum},
    {kSoundGameStart, 22050, 94607, "start fanfare", StartFanfare},
    {kSoundGlobeLaunch, 22050, 30552, "antimatter globe launch", GlobeLaunch},
    {kSoundVictory, 11025, 32078, "victory jingle", VictoryJingle},
};

}  // namespace

std::span<const Recipe> Recipes() {
    return kRecipes;
}

}  // namespace korvane::soundgen
