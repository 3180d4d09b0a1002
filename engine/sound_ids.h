#pragma once
// Which sound goes with which event, and how the game asks for it to be played. The ids are
// the resource ids of the embedded sounds.

namespace korvane {

enum SoundId : int {
    kSoundHelp = 101,       // help/About, before the About box opens
    kSoundStarCount = 102,  // each change of the star count in the settings dialog
    kSoundHint1 = 103,
    kSoundHint2 = 104,
    kSoundPhasers = 105,
    kSoundExplosion = 106,  // torpedo detonations, defeats, the victory rings
    kSoundHint3 = 107,
    kSoundGameStopped = 108,  // the player stops a running game
    kSoundShieldShot = 109,   // the cube's beam on the raised shields
    kSoundTorpedoLaunch = 110,
    kSoundSuperWeapon = 111,
    kSoundHint4 = 112,   // also when the Vessik win
    kSoundUnused = 113,  // carried but never played
    kSoundShields = 114,
    kSoundGameStart = 115,
    kSoundGlobeLaunch = 116,  // an antimatter globe leaves the cube
    kSoundVictory = 117,
};

// How a sound is played: the game goes on at once, or waits until the sound has ended (the
// victory's rings are held on screen that way).
enum SoundWait : int {
    kSoundWaitsForEnd = 0,
    kSoundPlaysOn = 1,
};

}  // namespace korvane
